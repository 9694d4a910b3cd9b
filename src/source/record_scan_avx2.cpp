// The record scan for machines with AVX2.
#define PEL_AVX2_SCAN ScanRecordsAvx2
#include "source/record_scan_avx2.inc"
