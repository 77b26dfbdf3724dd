/* The configuration record: the settings of one product and originator, or
 * of one logset, with the accessors that read and change them.
 *
 * The record is caller-owned (3344 bytes). Its texts are inline arrays or
 * owned heap strings from xoltLogMalloc; xoltLogFreeCfg releases the owned
 * ones. Every text a getter hands out is a fresh copy the caller releases
 * with xoltLogFree. Every setter records the field it changed in the change
 * mask; the removal mask asks the configuration writers to delete keys.
 * Every accessor that reads or changes a record holds the library lock
 * while it does, so one record may be shared between threads.
 *
 * Inline texts never overflow and always stay terminated: a log directory
 * (with an appended relative part and its trailing separator) that would
 * not fit its 1024 characters is refused with 3 and leaves the field as it
 * was; an event source name of 80 characters or more is cut to 79.
 *
 * Accessors return result codes: 0, or 3 for a null record or output, or a
 * value the setter refuses. */
#ifndef XOLTLOG_CONFIG_H
#define XOLTLOG_CONFIG_H

#include <stdint.h>

#include "xoltlog/export.h"
#include "xoltlog/result.h"

XOLTLOG_BEGIN_DECLS

#define XOLTLOG_CFG_TEXT_SIZE 1025
#define XOLTLOG_CFG_EVENT_SOURCE_SIZE 80
#define XOLTLOG_DEFAULT_ORIGINATOR 112u

/* Flags word. */
#define XOLTLOG_CFG_LOG_TO_STDOUT 0x1u
#define XOLTLOG_CFG_LOG_TO_STDERR 0x2u
#define XOLTLOG_CFG_LOG_TO_OSLOG 0x4u
#define XOLTLOG_CFG_LOG_TO_OSLOG_X 0x40u

/* Rollover mode bits; LocalTime and Periodic exclude each other. */
#define XOLTLOG_ROLLOVER_NONE 0u
#define XOLTLOG_ROLLOVER_FILE_SIZE 1u
#define XOLTLOG_ROLLOVER_LOCAL_TIME 2u
#define XOLTLOG_ROLLOVER_PERIODIC 4u

/* Change and removal mask bits, one per store key. */
#define XOLTLOG_CFG_MASK_DIRECTORY 0x1u
#define XOLTLOG_CFG_MASK_OID_NAMES 0x2u
#define XOLTLOG_CFG_MASK_L10N_LIB 0x4u
#define XOLTLOG_CFG_MASK_L10N_RESOURCE 0x8u
#define XOLTLOG_CFG_MASK_L10N_RESOURCE_DIR 0x10u
#define XOLTLOG_CFG_MASK_DEBUG_LEVEL 0x20u
#define XOLTLOG_CFG_MASK_DIAG_LEVEL 0x40u
#define XOLTLOG_CFG_MASK_LOG_TO_STDOUT 0x80u
#define XOLTLOG_CFG_MASK_LOG_TO_STDERR 0x100u
#define XOLTLOG_CFG_MASK_LOG_TO_OSLOG 0x200u
#define XOLTLOG_CFG_MASK_ROLLOVER_MODE 0x400u
#define XOLTLOG_CFG_MASK_MAX_FILE_SIZE 0x800u
#define XOLTLOG_CFG_MASK_ROLLOVER_TIME 0x1000u
#define XOLTLOG_CFG_MASK_ROLLOVER_PERIOD 0x2000u
#define XOLTLOG_CFG_MASK_NUMBER_OF_FILES 0x4000u
#define XOLTLOG_CFG_MASK_EVENT_SOURCE 0x8000u
#define XOLTLOG_CFG_MASK_EVENT_CATEGORY 0x10000u
#define XOLTLOG_CFG_MASK_FILE_SDDL 0x20000u
#define XOLTLOG_CFG_MASK_RECYCLE 0x1000000u
#define XOLTLOG_CFG_MASK_RELOAD 0x4000000u
#define XOLTLOG_CFG_MASK_LOGSET_FILE_NAME 0x8000000u
#define XOLTLOG_CFG_MASK_OID_APP_LOGGING 0x10000000u
#define XOLTLOG_CFG_MASK_OID_DEBUG_LOGGING 0x20000000u
#define XOLTLOG_CFG_MASK_OID_DIAG_LOGGING 0x40000000u
/* Application-message logging has no bit of its own: marking it marks every
 * field but the log directory. */
#define XOLTLOG_CFG_MASK_APP_MSG_LOGGING 0x7FFFFFFEu

/* The event source setting: the name under which event-log copies are
 * reported ("Application" by default) and their category (0). */
typedef struct XoltLogEventSource {
  char name[XOLTLOG_CFG_EVENT_SOURCE_SIZE];
  uint16_t category;
} XoltLogEventSource;

typedef struct XoltLogCfg {
  uint32_t product_id;
  uint32_t originator_id; /* 112 for a product's "Default" section, 0 for a logset */
  uint32_t debug_level;
  uint32_t diag_level;
  uint32_t secure_audit_level;
  uint32_t flags;
  char log_directory[XOLTLOG_CFG_TEXT_SIZE]; /* ends with a separator when set */
  char* file_sddl;
  char* second_file_security;
  uint32_t max_file_size_kb;
  uint32_t rollover_mode;
  uint64_t rollover_period;
  int64_t rollover_time; /* seconds after local midnight */
  int64_t prev_conf_mod_time;
  uint32_t number_of_log_files;
  uint32_t log_recycle;
  XoltLogEventSource event_source;
  char product_names[XOLTLOG_CFG_TEXT_SIZE];
  char originator_names[XOLTLOG_CFG_TEXT_SIZE];
  char* l10n_lib;
  char* l10n_resource;
  char* l10n_resource_dir;
  uint32_t change_mask;
  uint32_t removal_mask;
  uint32_t reload_interval;
  char* logset_name;
  uint32_t logset_marker;
  char* logset_file_name;
  uint32_t app_msg_logging;
  char* oid_app_msg_logging;
  char* oid_debug_logging;
  char* oid_diag_logging;
} XoltLogCfg;

XOLTLOG_API uint32_t xoltLogCfgGetDebugLevel(const XoltLogCfg* cfg, uint32_t* level) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetDiagLevel(const XoltLogCfg* cfg, uint32_t* level) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetFlags(const XoltLogCfg* cfg, uint32_t* flags) XOLTLOG_NOEXCEPT;
/* Result 0 even when the copy cannot be made (the output is then null). */
XOLTLOG_API uint32_t xoltLogCfgGetDirectory(const XoltLogCfg* cfg, char** directory) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetDynaSetting(const XoltLogCfg* cfg,
                                              uint32_t* seconds) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetMaxFileSize(const XoltLogCfg* cfg, uint32_t* kb) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetNumberOfLogFiles(const XoltLogCfg* cfg,
                                                   uint32_t* count) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetRolloverMode(const XoltLogCfg* cfg,
                                               uint32_t* mode) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetRolloverPeriod(const XoltLogCfg* cfg,
                                                 uint64_t* seconds) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetRolloverTime(const XoltLogCfg* cfg,
                                               int64_t* seconds) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetPrevConfModTime(const XoltLogCfg* cfg,
                                                  int64_t* time) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetNtEventCategory(const XoltLogCfg* cfg,
                                                  uint16_t* category) XOLTLOG_NOEXCEPT;
/* 4 when the copy cannot be made. */
XOLTLOG_API uint32_t xoltLogCfgGetNtEventSource(const XoltLogCfg* cfg,
                                                char** source) XOLTLOG_NOEXCEPT;
/* Owned texts: an unset one gives 0 and a null output; 4 when a copy of a
 * set one cannot be made. */
XOLTLOG_API uint32_t xoltLogCfgGetL10nResource(const XoltLogCfg* cfg, char** text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetL10nResourceDir(const XoltLogCfg* cfg,
                                                  char** text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetLogsetFilename(const XoltLogCfg* cfg, char** text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetLogsetOIDDebugLogging(const XoltLogCfg* cfg,
                                                        char** text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetLogsetOIDDiagLogging(const XoltLogCfg* cfg,
                                                       char** text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetLogsetOIDOIDappMsgLogging(const XoltLogCfg* cfg,
                                                            char** text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgGetLogFileSDDL(const XoltLogCfg* cfg, char** text) XOLTLOG_NOEXCEPT;
/* The file name of the localization library built from L10nLib (see
 * SharedLibLoad); 0 and a null output when L10nLib is unset; 4 when the name
 * cannot be built. */
XOLTLOG_API uint32_t xoltLogCfgGetL10nLib(const XoltLogCfg* cfg, char** file_name) XOLTLOG_NOEXCEPT;

/* Setters: 3 for the values noted, which change nothing. */
/* Above 6 refused. */
XOLTLOG_API uint32_t xoltLogCfgSetDebugLevel(XoltLogCfg* cfg, uint32_t level) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgSetDiagLevel(XoltLogCfg* cfg, uint32_t level) XOLTLOG_NOEXCEPT;
/* Negative refused. */
XOLTLOG_API uint32_t xoltLogCfgSetDynaSetting(XoltLogCfg* cfg, int32_t seconds) XOLTLOG_NOEXCEPT;
/* 0 refused. */
XOLTLOG_API uint32_t xoltLogCfgSetMaxFileSize(XoltLogCfg* cfg, uint32_t kb) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgSetNumberOfLogFiles(XoltLogCfg* cfg, uint32_t count) XOLTLOG_NOEXCEPT;
/* Above 5 refused. */
XOLTLOG_API uint32_t xoltLogCfgSetRolloverMode(XoltLogCfg* cfg, uint32_t mode) XOLTLOG_NOEXCEPT;
/* 0 refused. */
XOLTLOG_API uint32_t xoltLogCfgSetRolloverPeriod(XoltLogCfg* cfg,
                                                 uint64_t seconds) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgSetRolloverTime(XoltLogCfg* cfg, int64_t seconds) XOLTLOG_NOEXCEPT;
/* 0 refused. */
XOLTLOG_API uint32_t xoltLogCfgSetNtEventCategory(XoltLogCfg* cfg,
                                                  uint16_t category) XOLTLOG_NOEXCEPT;
/* Empty refused; cut to 79 characters. */
XOLTLOG_API uint32_t xoltLogCfgSetNtEventSource(XoltLogCfg* cfg, const char* source) XOLTLOG_NOEXCEPT;
/* Stores directory with doubled separators folded and a trailing separator,
 * at destination when given (a position inside the record's log directory,
 * to append a relative part), else at the start of the log directory. Empty,
 * a destination outside the field, or a result that would not fit: 3. */
XOLTLOG_API uint32_t xoltLogCfgSetDirectory(XoltLogCfg* cfg, const char* directory,
                                            char* destination) XOLTLOG_NOEXCEPT;
/* Owned texts: empty refused (LogFileSDDL accepts it); 4 when the copy
 * fails, the field then null and its change bit set. */
XOLTLOG_API uint32_t xoltLogCfgSetL10nLib(XoltLogCfg* cfg, const char* text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgSetL10nResource(XoltLogCfg* cfg, const char* text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgSetL10nResourceDir(XoltLogCfg* cfg,
                                                  const char* text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgSetLogsetFilename(XoltLogCfg* cfg, const char* text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgSetLogsetOIDappMsgLogging(XoltLogCfg* cfg,
                                                         const char* text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgSetLogsetOIDDebugLogging(XoltLogCfg* cfg,
                                                        const char* text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgSetLogsetOIDDiagLogging(XoltLogCfg* cfg,
                                                       const char* text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgSetLogFileSDDL(XoltLogCfg* cfg, const char* text) XOLTLOG_NOEXCEPT;
/* No change bit. */
XOLTLOG_API uint32_t xoltLogCfgSetPrevConfModTime(XoltLogCfg* cfg, int64_t time) XOLTLOG_NOEXCEPT;

/* Switches: 0, or 3 for a null record. */
XOLTLOG_API uint32_t xoltLogCfgEnableLogToStdout(XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgDisableLogToStdout(XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgEnableLogToStderr(XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgDisableLogToStderr(XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgEnableLogToOslog(XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgDisableLogToOslog(XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;
/* No change bit. */
XOLTLOG_API uint32_t xoltLogCfgEnableLogToOslogX(XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgDisableLogToOslogX(XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgEnableLogRecycling(XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgDisableLogRecycling(XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgEnableAppMsgLogging(XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogCfgDisableAppMsgLogging(XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;
/* The switches of bits 0, 1, 2 and 6 by the value's bits, in that order;
 * other bits are ignored. 3 for null or a negative value. */
XOLTLOG_API uint32_t xoltLogCfgSetFlags(XoltLogCfg* cfg, int32_t flags) XOLTLOG_NOEXCEPT;

/* Releases the owned texts and zeroes the record (not the record itself). */
XOLTLOG_API uint32_t xoltLogFreeCfg(XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;
/* Frees *text and clears it: 0; 0xFFFFFFFF for a null pointer. */
XOLTLOG_API uint32_t FreeFileSecuritySetting(char** text) XOLTLOG_NOEXCEPT;
/* Appends the setting text of mode ("None", "FileSize | LocalTime", ...) to
 * buffer, which must hold the result (256 bytes always do); returns buffer. */
XOLTLOG_API char* RolloverModeEnumToSettingString(int32_t mode, char* buffer) XOLTLOG_NOEXCEPT;
/* The mode a setting text names; 0 for null or a text naming none. */
XOLTLOG_API int32_t SettingStringToRolloverModeEnum(const char* text) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_CONFIG_H */
