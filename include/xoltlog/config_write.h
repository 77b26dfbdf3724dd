/* Writing configuration back to the store, and registering products.
 *
 * A product is registered by a key named by its identifier at the store
 * location (XOLTLOG_CFG_LOC, else the registry path
 * "SOFTWARE\KESTRAN\xoltlog"); the key's "Configuration" value names the
 * product's configuration location, where its sections live: "Default",
 * one per originator, and the logsets.
 *
 * Writing is incremental: a key is written only when its bit is set in the
 * record's change mask, and removed when its bit is set in the removal mask
 * (removal wins when both are set), so that a removed key falls back to the
 * inherited or default value when read again. Application-message logging
 * is marked by 0x7FFFFFFE, so "AppMsgLogging" is written (or removed)
 * whenever any of bits 1 to 30 is marked, and marking it marks every key
 * but "LogDirectory". A write stops at the first key that fails, with that
 * key's result: 3 for an unset text, 6 for a write the store refuses, 1 for
 * the removal of a registry value that does not exist (a store file takes
 * that removal as done). The keys before it stay written, nothing is rolled
 * back. The event-log and security keys ("NtEventLogSourceName",
 * "NtEventLogCategory", "LogFileSDDL") are attempted last and their failures
 * are not reported.
 *
 * The writers hold the library lock while they work; nothing coordinates
 * two processes beyond what the property store does (whole-file rewrites
 * of a store file that do not lose each other's lines). */
#ifndef XOLTLOG_CONFIG_WRITE_H
#define XOLTLOG_CONFIG_WRITE_H

#include <stdint.h>

#include "xoltlog/config.h"
#include "xoltlog/export.h"

XOLTLOG_BEGIN_DECLS

/* Writes the marked keys of cfg into the product's "Default" section for
 * originator 112, else into the originator's section, which is created
 * when absent (also when nothing is marked). 0 written; 3 a zero
 * identifier or a null record; 6 the product is not registered; 1 the
 * section can be neither opened nor created; else the failing key's
 * result. */
XOLTLOG_API uint32_t xoltLogWriteCfg(uint32_t product, uint32_t originator,
                                     const XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;

/* Writes the marked keys of a logset record into the section of logset
 * (created when absent). The L10n keys are never written to a logset, and
 * "FileName" is never removed: its removal bit gives 61 after every other
 * marked key has been written. 0 written; 3 a zero product, a null name or
 * record; 6 the product is not registered; 61 nothing is marked (nothing
 * is opened); 1 the section can be neither opened nor created; else the
 * failing key's result. */
XOLTLOG_API uint32_t xoltLogWritelogSetCfg(uint32_t product, const char* logset,
                                           const XoltLogCfg* cfg) XOLTLOG_NOEXCEPT;

/* Registers a product: its key gets "Configuration" := location and then
 * "Names" := names (comma-separated, the short name first). 0 registered;
 * 3 a zero product or a null text; 6 the key can be neither opened nor
 * created; 27 the product is already registered (nothing is written); else
 * the result of the write that failed. */
XOLTLOG_API uint32_t xoltLogAddProductCfg(uint32_t product, const char* names,
                                          const char* location) XOLTLOG_NOEXCEPT;

/* Removes a product's registration: "Configuration", "Names", then its key
 * with everything below it, each step only after the one before worked.
 * The key is removed from the registry's default location, whatever the
 * store location; when no key is left there (no product, no
 * "LoggingTools"), "SOFTWARE\KESTRAN\xoltlog" itself is removed. With a
 * store file the two values are removed from the file and the result is
 * that of the removal in the registry: 50 when the product has no key
 * there. The product's sections stay where its configuration location
 * names them. 0 removed; 3 a zero product; 6 the product is not registered
 * or its key cannot be opened for writing; else the failing step's
 * result. */
XOLTLOG_API uint32_t xoltLogRemoveProductCfg(uint32_t product) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_CONFIG_WRITE_H */
