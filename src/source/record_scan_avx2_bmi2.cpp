// The record scan for machines with AVX2, built with BMI2 as well for those whose PDEP is
// quick: a block's nth separator is then found in one instruction, where the other build
// counts the block's bytes. Built with -mbmi2 too.
#define PEL_AVX2_SCAN ScanRecordsAvx2Bmi2
#include "source/record_scan_avx2.inc"
