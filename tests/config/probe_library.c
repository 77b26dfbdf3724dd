/* A small library for the loading tests: found by its bare name beside the
 * test program, and answering one call. */
#include <stdint.h>

__attribute__((visibility("default"))) int32_t xoltLogTestProbeAnswer(int32_t question);

int32_t xoltLogTestProbeAnswer(int32_t question) { return question * 2 + 1; }
