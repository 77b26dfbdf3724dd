/* Reading configuration from the configuration store.
 *
 * The store location is $XOLTLOG_CFG_LOC as it was at the first call that
 * needed it, else the registry path "SOFTWARE\KESTRAN\xoltlog"; it is kept
 * for the life of the process. Below it, each registered product has a key
 * named by its identifier in decimal whose "Configuration" value names the
 * product's configuration location (a registry path, or a store file when it
 * contains ".conf") and whose "Names" value lists the product's names.
 *
 * A record is read in layers: the initial values, then the product's
 * "Default" section (or "Default" logset), then the originator's (or
 * logset's) own section. Absent sections and keys, and values a key's rule
 * refuses, leave the earlier value; a relative LogDirectory is appended to
 * the one inherited, an absolute one replaces it. The change mask of every
 * record read is 0.
 *
 * The readers of records hold the library lock while they work, under their
 * own names. Records put into an array come from xoltLogMalloc; the caller
 * releases each of the count entries with xoltLogFreeCfg and xoltLogFree.
 * Texts handed out are released with xoltLogFree. */
#ifndef XOLTLOG_CONFIG_READ_H
#define XOLTLOG_CONFIG_READ_H

#include <stdint.h>

#include "xoltlog/config.h"
#include "xoltlog/export.h"

XOLTLOG_BEGIN_DECLS

/* The kind of names LogCfgGetShortNames takes from the product names. */
#define XOLTLOG_PRODUCT_NAMES_KIND 263u

/* The store location; never null, not to be freed. */
XOLTLOG_API const char* GetXoltLogCfgLoc(void) XOLTLOG_NOEXCEPT;
/* 1 exactly for originator 112, whose settings are the "Default" section;
 * else 0. */
XOLTLOG_API int32_t IsDefaultOriginator(uint32_t originator) XOLTLOG_NOEXCEPT;
/* 1 exactly for the name "Default" (case-sensitive); else 0, also for null. */
XOLTLOG_API int32_t IsDefaultLogSet(const char* logset) XOLTLOG_NOEXCEPT;

/* Fills cfg with the settings of originator of product: the "Default"
 * section, then, for any originator but 112, the originator's own section.
 * 0; 3 a zero identifier or null cfg; 6 the product is not registered (no
 * or an empty "Configuration" value); another code when a section exists
 * but cannot be opened; 4 memory ran out. */
XOLTLOG_API uint32_t xoltLogReadCfg(uint32_t product, uint32_t originator,
                                    XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;
/* Fills cfg with the settings of logset of product: the "Default" logset,
 * then the logset's own section. cfg ends as the logset's record, with the
 * logset's name and with its "FileName", or without one its name, as file
 * name. 0; 3 a zero product, null logset or null cfg; 6 the product is not
 * registered, or the logset's section (for "Default", the "Default"
 * logset's) holds none of the logset keys; 4 memory ran out. */
XOLTLOG_API uint32_t xoltLogReadlogsetCfg(uint32_t product, const char* logset,
                                          XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;

/* Adds the records of product from the registration store at location
 * (null for GetXoltLogCfgLoc()) to records, which has capacity slots:
 * "Default" (originator 112), the originators in enumeration order, the
 * "Default" logset, the logsets. Originator records start from a copy of
 * the "Default" record and logset records from one of the "Default" logset
 * record, so they do not inherit log recycling, the event category or the
 * OID lists. A record for an originator (or logset) already in the array
 * is left out; once the array is full nothing more is read. *count is set
 * to 0 first and then counts the records added. 0 records were added; 39
 * none were, or the product is not registered; 3 null records or count; a
 * mapped store result when the registration store cannot be opened or
 * enumerated, or when neither the product's sections nor its logsets can
 * be; 4 memory ran out (the records counted stay the caller's). */
XOLTLOG_API uint32_t xoltLogReadProdIDCfg(const char* location, uint32_t product,
                                          uint64_t capacity, XoltLogCfg** records,
                                          uint64_t* count) XOLTLOG_NOEXCEPT;
/* As xoltLogReadProdIDCfg for every registered product in enumeration
 * order. 0 records were added; 39 none were; 3 null records or count; a
 * mapped store result when the registration store cannot be opened, or
 * enumerating it fails before any product was read. */
XOLTLOG_API uint32_t xoltLogReadAllCfg(const char* location, uint64_t capacity,
                                       XoltLogCfg** records, uint64_t* count) XOLTLOG_NOEXCEPT;

/* *path receives a copy of the product configuration location of product
 * at location (null for GetXoltLogCfgLoc()). 0; 3 null path; 6 the product
 * is not registered (*path is left as it was); 4 memory ran out. */
XOLTLOG_API uint32_t GetProductCfgPath(const char* location, uint32_t product,
                                       char** path) XOLTLOG_NOEXCEPT;
/* *level receives the true/false value "AppMsgLogging" of the product's
 * registration key as 1 or 0. 0; 3 null level; 6 no such key or value. */
XOLTLOG_API uint32_t GetProductLoggingLevel(const char* location, uint32_t product,
                                            uint32_t* level) XOLTLOG_NOEXCEPT;
/* *name receives the first of cfg's product names (kind 263) or originator
 * names (any other kind): the text before the first comma, or without one
 * before the first blank; null when the names are empty. 0; 3 null cfg or
 * name; 4 memory ran out. */
XOLTLOG_API uint32_t LogCfgGetShortNames(const XoltLogCfg* cfg, uint16_t kind,
                                         char** name) XOLTLOG_NOEXCEPT;
/* *directory receives the value "L10nResourceDir" of the key "LoggingTools"
 * at the store location. 0; 3 null directory; 6 no such key or value; 4
 * memory ran out. */
XOLTLOG_API uint32_t xoltLogCfgGetToolsResDir(char** directory) XOLTLOG_NOEXCEPT;

/* 1 for a product identifier other than 0, else 0 (isOrigIdValid and
 * isLogSetValid are in text.h). */
XOLTLOG_API int32_t isProdIdValid(uint32_t product) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_CONFIG_READ_H */
