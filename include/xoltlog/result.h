/* Result codes returned by every exported xoltlog operation that reports
 * success or failure. A code names the first failure met; codes are never
 * combined. */
#ifndef XOLTLOG_RESULT_H
#define XOLTLOG_RESULT_H

/* X(constant, code, meaning) for the codes that fit an enumeration; W(...)
 * for the one code with all bits set, which C11 enumerations cannot hold and
 * which is therefore a macro of its own below. */
#define XOLTLOG_RESULT_TABLE(X, W)                                                     \
  X(XOLTLOG_OK, 0, "success")                                                          \
  X(XOLTLOG_E_FAILED, 1, "general failure")                                            \
  X(XOLTLOG_E_RIR, 2, "the message-catalog library reported failure -4")               \
  X(XOLTLOG_E_INVALID_ARG, 3, "invalid argument")                                      \
  X(XOLTLOG_E_NO_MEMORY, 4, "memory exhausted")                                        \
  X(XOLTLOG_E_APPEND, 5, "appending a record to the log file failed")                  \
  X(XOLTLOG_E_CFG_STORE, 6, "the configuration store cannot be opened or read")        \
  X(XOLTLOG_E_NO_MORE, 9, "no more entries")                                           \
  X(XOLTLOG_E_RIR_OTHER, 10, "other failure of the message-catalog library")           \
  X(XOLTLOG_E_OSLOG_OPEN, 22, "the event-log output cannot be opened")                 \
  X(XOLTLOG_E_ALREADY_REGISTERED, 27, "the product is already registered")             \
  X(XOLTLOG_E_COPY_SIZE, 31, "the size of the copy source cannot be read")             \
  X(XOLTLOG_E_FILE_OPEN, 32, "a log file cannot be opened or created")                 \
  X(XOLTLOG_E_COPY_READ, 33, "reading the copy source failed")                         \
  X(XOLTLOG_E_COPY_WRITE, 34, "writing the copy destination failed")                   \
  X(XOLTLOG_E_NO_CFG, 39, "no configuration record was found")                         \
  X(XOLTLOG_E_NO_MATCH, 45, "no log file matched")                                     \
  X(XOLTLOG_E_COPY_DEST, 47, "the copy destination cannot be created")                 \
  X(XOLTLOG_E_BAD_HEADER, 48, "the log file does not start with a known header")       \
  X(XOLTLOG_E_NO_SECTION, 50, "the configuration section does not exist")              \
  X(XOLTLOG_E_FILE_ACCESS, 51, "the log file path is not found or access is denied")   \
  X(XOLTLOG_E_FILE_OPEN_PRIMITIVE, 52, "the log file open primitive reported -8")       \
  X(XOLTLOG_E_NO_DIRECTORY, 53, "no log directory is configured")                      \
  X(XOLTLOG_E_DISK_FULL, 54, "the disk is full")                                       \
  X(XOLTLOG_E_CFG_CREATE, 55, "the configuration store cannot be created")             \
  X(XOLTLOG_E_NO_WRITER, 57, "the log handle has no file writer")                      \
  X(XOLTLOG_E_SECURE_TO_FILE, 58, "secure audit messages need a secure handle")        \
  X(XOLTLOG_E_NOTHING_TO_WRITE, 61, "nothing to write")                                \
  X(XOLTLOG_E_CFG_REPLACE, 64, "the configuration file cannot be replaced")            \
  W(XOLTLOG_E_OSLOG_REFUSED, 0xFFFFFFFFu, "the event log refused a secure audit record")

#define XOLTLOG_RESULT_ENUMERATOR_(name, code, meaning) name = (code),
#define XOLTLOG_RESULT_SKIP_(name, code, meaning)
/* The constants; compare them with the uint32_t results directly. */
enum XoltLogResultCode {
  XOLTLOG_RESULT_TABLE(XOLTLOG_RESULT_ENUMERATOR_, XOLTLOG_RESULT_SKIP_)
};
#undef XOLTLOG_RESULT_ENUMERATOR_
#undef XOLTLOG_RESULT_SKIP_

#define XOLTLOG_E_OSLOG_REFUSED 0xFFFFFFFFu

#endif /* XOLTLOG_RESULT_H */
