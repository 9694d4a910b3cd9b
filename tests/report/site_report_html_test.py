#!/usr/bin/python3
"""The site report read by a real HTML5 parser (html5lib, as browsers parse): a batch of the
examples plus a folder named <script>, one named javascript:x, one whose title holds
</svg><script> and one that fails, run with --json and --report; the page must be whole, every borehole in it, its
counts the JSON summary's, and nothing from the data markup or a link elsewhere.
  site_report_html_test.py CLI EXAMPLES"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

import html5lib

cli, examples = sys.argv[1], sys.argv[2]
work = tempfile.mkdtemp()
try:
    site = os.path.join(work, "site")
    shutil.copytree(examples, site)
    shutil.rmtree(os.path.join(site, "PATDAT"))
    shutil.copytree(os.path.join(site, "B-1"), os.path.join(site, "<script>"))
    shutil.copytree(os.path.join(site, "B-4"), os.path.join(site, "javascript:x"))
    shutil.copytree(os.path.join(site, "B-2"), os.path.join(site, "title"))
    title = '"' + "T" * 40 + '</svg><script>alert(1)</script>"\r\n'
    open(os.path.join(site, "title", "titl01.txt"), "wb").write(title.encode("cp932"))
    shutil.copytree(os.path.join(site, "B-3"), os.path.join(site, "failing"))
    open(os.path.join(site, "failing", "X1.txt"), "wb").write(b"1,123456789,a,b\r\n")  # a value too wide

    report = os.path.join(work, "out", "site.html")
    env = dict(os.environ, SOURCE_DATE_EPOCH="1796789100")
    run = subprocess.run([cli, "batch", site, os.path.join(work, "out"), "--json", "--report", report],
                         capture_output=True, env=env)
    assert run.returncode == 2, (run.returncode, run.stderr.decode())
    batch = json.loads(run.stdout)
    assert batch["report"] == {"file": report, "error": None}, batch["report"]
    summary = batch["summary"]
    assert summary == {"folders": 8, "converted": 7, "with_warnings": 6, "failed": 1}, summary

    raw = open(report, "rb").read()
    page = html5lib.parse(raw, treebuilder="etree", namespaceHTMLElements=False)
    ns = "{http://www.w3.org/2000/svg}"
    assert page.tag == "html" and [c.tag for c in page] == ["head", "body"], [c.tag for c in page]
    assert page.find("head/meta").get("charset") == "utf-8"
    assert "@page{size:A4 landscape" in page.find("head/style").text
    assert page.find(".//script") is None and page.find(f".//{ns}script") is None, "a script element"
    for element in page.iter():
        assert not any(name.startswith("on") for name in element.attrib), (element.tag, element.attrib)
        for name in ("href", "{http://www.w3.org/1999/xlink}href", "src"):
            link = element.get(name)
            if link is None:
                continue
            scheme = re.match(r"^([A-Za-z][A-Za-z0-9+.-]*):", link)
            assert scheme is None or scheme.group(1) == "file", link
            assert link.startswith(("./", "#b-", "file:///")), link
    assert page.find(".//link") is None and page.find(".//img") is None, "an external resource"

    # Every borehole: a row, a section, an overview column; one svg each but for the failed one.
    names = sorted(os.path.basename(f["source"]) for f in batch["folders"])
    rows = page.findall(".//table[@id='boreholes']/tbody/tr")[1:] or page.findall(".//table[@id='boreholes']/tr")[1:]
    assert sorted(r[0].find("a").text for r in rows) == names, [r[0].find("a").text for r in rows]
    sections = page.findall(".//section")
    assert len(sections) == 8 and sorted(s.find("h3").text for s in sections) == names
    overview = page.findall(f".//{ns}svg[@class='o']")
    profiles = page.findall(f".//{ns}svg[@class='p']")
    assert len(overview) == 1 and len(profiles) == 7, (len(overview), len(profiles))
    assert len(page.findall(f".//{ns}svg")) == len(overview) + len(profiles)
    columns = [t.text for t in overview[0].iter(f"{ns}title")]
    assert sorted(columns) == names, columns

    # The counts are the JSON summary's, and each borehole's those of its JSON folder.
    for key in ("folders", "converted", "with-warnings", "failed"):
        cell = page.find(f".//td[@id='s-{key}']")
        assert int(cell.text) == summary[key.replace("-", "_")], (key, cell.text)
    by_name = {os.path.basename(f["source"]): f for f in batch["folders"]}
    for r in rows:
        folder = by_name[r[0].find("a").text]
        warnings = sum(1 for f in folder["findings"] if f["severity"] == "warning")
        infos = len(folder["findings"]) - warnings
        if folder["error"]:
            assert r[1].text == "失敗" and r[6].find("a") is None
            continue
        counts = [int(r[i].text) for i in range(2, 6)]
        assert counts == [folder["counts"]["layers_written"], folder["counts"]["points_written"], warnings, infos], counts
        assert r[6].find("a").get("href") == "./" + os.path.basename(folder["destination"]).replace("<", "%3C").replace(">", "%3E").replace(":", "%3A")

    # The escaped names and the title's value as text, never as markup.
    text = "".join(page.itertext())
    assert "<script>" in text, "the folder's name as text"
    assert "</svg><script>alert(1)</script>" in text, "the title's cut part as text"
    assert b"&lt;script&gt;" in raw and b"<script" not in raw
    assert "javascript:x" in text and b'href="javascript' not in raw, "a name that reads as a scheme, as text"
    failed = [s for s in sections if s.find("h3").text == "failing"][0]
    assert "123456789" in "".join(failed.itertext())
    print("site report: %d boreholes, %d bytes, parsed by html5lib" % (len(rows), len(raw)))
finally:
    shutil.rmtree(work)
