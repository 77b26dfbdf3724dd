/* The demonstration program's parts: configuration, logging, reading back. */
#ifndef XOLTLOG_DEMO_H
#define XOLTLOG_DEMO_H

#include <stdint.h>

#define DEMO_PRODUCT 4711u
#define DEMO_FRONTEND 100u /* originator of the order intake */
#define DEMO_WORKER 200u   /* originator of the background jobs */
#define DEMO_LOGSET "audit-trail"
#define DEMO_MAX_FILE_KB 2u
#define DEMO_PATH_SIZE 1024

/* Catalog message identifiers: the catalog owns the texts, the records
 * carry the identifier and the typed arguments. */
#define DEMO_MSG_DISK_LOW 2001u /* volume, percent used, checked at */
#define DEMO_MSG_LOGIN 3001u    /* user, port */

/* Registers the product and writes its sections below directory. 0 or the
 * failing call's result (already reported). */
uint32_t demo_configure(const char* directory, const char* log_directory);

/* Logs from several threads of this process through handles of both
 * originators; the first process also keeps a context open while its
 * threads run. 0, or 1 when a call failed (reported). */
int demo_log_from_process(int first_process);

/* Lists the files of log_directory and prints their records. */
void demo_read_back(const char* log_directory);

/* Prints what went wrong with a result code and returns the code. */
uint32_t demo_failed(const char* what, uint32_t result);

#endif /* XOLTLOG_DEMO_H */
