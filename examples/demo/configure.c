/* Setting up the demo product in a store file: registration, the "Default"
 * section with the log directory and a small size rollover, one section per
 * originator with its own levels, and a logset. */
#include <stdio.h>
#include <string.h>

#include "demo.h"
#include "xoltlog/xoltlog.h"

uint32_t demo_failed(const char* what, uint32_t result) {
  fprintf(stderr, "demo: %s failed with result %u\n", what, result);
  return result;
}

static uint32_t write_default_section(const char* log_directory) {
  XoltLogCfg cfg;
  memset(&cfg, 0, sizeof cfg);
  uint32_t result = xoltLogReadCfg(DEMO_PRODUCT, XOLTLOG_DEFAULT_ORIGINATOR, &cfg);
  if (result == XOLTLOG_OK) {
    result = xoltLogCfgSetDirectory(&cfg, log_directory, NULL) |
             xoltLogCfgSetRolloverMode(&cfg, XOLTLOG_ROLLOVER_FILE_SIZE) |
             xoltLogCfgSetMaxFileSize(&cfg, DEMO_MAX_FILE_KB) |
             xoltLogCfgSetDebugLevel(&cfg, 3) | xoltLogCfgSetDiagLevel(&cfg, 3);
  }
  if (result == XOLTLOG_OK) {
    result = xoltLogWriteCfg(DEMO_PRODUCT, XOLTLOG_DEFAULT_ORIGINATOR, &cfg);
  }
  xoltLogFreeCfg(&cfg);
  return result;
}

/* An originator's section holds only what differs from "Default". */
static uint32_t write_originator_section(uint32_t originator, uint32_t debug, uint32_t diag) {
  XoltLogCfg cfg;
  memset(&cfg, 0, sizeof cfg);
  uint32_t result = xoltLogReadCfg(DEMO_PRODUCT, originator, &cfg);
  if (result == XOLTLOG_OK) {
    result = xoltLogCfgSetDebugLevel(&cfg, debug) | xoltLogCfgSetDiagLevel(&cfg, diag);
  }
  if (result == XOLTLOG_OK) {
    result = xoltLogWriteCfg(DEMO_PRODUCT, originator, &cfg);
  }
  xoltLogFreeCfg(&cfg);
  return result;
}

/* A logset section written from a record that marks only its own keys. */
static uint32_t write_logset_section(const char* log_directory) {
  XoltLogCfg cfg;
  memset(&cfg, 0, sizeof cfg);
  uint32_t result = xoltLogCfgSetLogsetFilename(&cfg, "audit") |
                    xoltLogCfgSetDirectory(&cfg, log_directory, NULL) |
                    xoltLogCfgSetRolloverMode(&cfg, XOLTLOG_ROLLOVER_PERIODIC) |
                    xoltLogCfgSetRolloverPeriod(&cfg, 3600);
  if (result == XOLTLOG_OK) {
    result = xoltLogWritelogSetCfg(DEMO_PRODUCT, DEMO_LOGSET, &cfg);
  }
  xoltLogFreeCfg(&cfg);
  return result;
}

static void print_settings(const char* title, uint32_t originator) {
  XoltLogCfg cfg;
  char mode[256] = "";
  memset(&cfg, 0, sizeof cfg);
  if (xoltLogReadCfg(DEMO_PRODUCT, originator, &cfg) == XOLTLOG_OK) {
    printf("  %-22s debug level %u, diagnostic level %u, rollover %s at %u KiB\n", title,
           cfg.debug_level, cfg.diag_level,
           RolloverModeEnumToSettingString((int32_t)cfg.rollover_mode, mode),
           cfg.max_file_size_kb);
  }
  xoltLogFreeCfg(&cfg);
}

static void print_logset(void) {
  XoltLogCfg cfg;
  char mode[256] = "";
  memset(&cfg, 0, sizeof cfg);
  if (xoltLogReadlogsetCfg(DEMO_PRODUCT, DEMO_LOGSET, &cfg) == XOLTLOG_OK) {
    printf("  logset %-15s file name \"%s\", rollover %s every %llu s, in %s\n", DEMO_LOGSET,
           cfg.logset_file_name != NULL ? cfg.logset_file_name : "",
           RolloverModeEnumToSettingString((int32_t)cfg.rollover_mode, mode),
           (unsigned long long)cfg.rollover_period, cfg.log_directory);
  }
  xoltLogFreeCfg(&cfg);
}

uint32_t demo_configure(const char* directory, const char* log_directory) {
  char location[DEMO_PATH_SIZE];
  snprintf(location, sizeof location, "%s/demo.conf", directory);
  uint32_t result = xoltLogAddProductCfg(DEMO_PRODUCT, "Demo,xoltlog demonstration", location);
  if (result != XOLTLOG_OK && result != XOLTLOG_E_ALREADY_REGISTERED) {
    return demo_failed("registering the product", result);
  }
  if ((result = write_default_section(log_directory)) != XOLTLOG_OK) {
    return demo_failed("writing the Default section", result);
  }
  if ((result = write_originator_section(DEMO_FRONTEND, 2, 2)) != XOLTLOG_OK ||
      (result = write_originator_section(DEMO_WORKER, 5, 4)) != XOLTLOG_OK) {
    return demo_failed("writing an originator section", result);
  }
  if ((result = write_logset_section(log_directory)) != XOLTLOG_OK) {
    return demo_failed("writing the logset section", result);
  }
  printf("Product %u registered; its sections are in %s:\n", DEMO_PRODUCT, location);
  print_settings("Default", XOLTLOG_DEFAULT_ORIGINATOR);
  print_settings("originator 100", DEMO_FRONTEND);
  print_settings("originator 200", DEMO_WORKER);
  print_logset();
  printf("  (the logset is configuration only here: log handles open ordinary series)\n\n");
  return XOLTLOG_OK;
}
