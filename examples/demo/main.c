/* The xoltlog demonstration: sets up a product in a store file below the
 * directory given, logs every kind of message from two processes with
 * several threads each into files that roll over at a few KiB, and reads
 * the files back. Nothing outside that directory is touched. */
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "demo.h"
#include "xoltlog/xoltlog.h"

/* The store location is read at the first library call that needs it, so
 * both variables are set before any. */
static int use_directory(const char* directory, char* log_directory, size_t size) {
  char path[DEMO_PATH_SIZE];
  snprintf(path, sizeof path, "%s/xoltlog.conf", directory);
  setenv("XOLTLOG_CFG_LOC", path, 1);
  printf("XOLTLOG_CFG_LOC=%s\n", path);
  snprintf(path, sizeof path, "%s/registry", directory);
  setenv("XOLTLOG_REGISTRY_ROOT", path, 1);
  printf("XOLTLOG_REGISTRY_ROOT=%s\n", path);
  snprintf(log_directory, size, "%s/logs/", directory);
  return mkdir(directory, 0700) == 0 || access(directory, W_OK) == 0;
}

/* A second process logging into the same files at the same time. */
static int log_from_two_processes(void) {
  fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    _exit(demo_log_from_process(0));
  }
  int failed = demo_log_from_process(1);
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    fprintf(stderr, "demo: the second process failed\n");
    failed = 1;
  }
  return failed;
}

int main(int argc, char** argv) {
  char log_directory[DEMO_PATH_SIZE];
  if (argc != 2) {
    fprintf(stderr, "usage: %s <demo directory>\n", argv[0]);
    return 2;
  }
  if (!use_directory(argv[1], log_directory, sizeof log_directory)) {
    perror(argv[1]);
    return 1;
  }
  if (demo_configure(argv[1], log_directory) != XOLTLOG_OK) return 1;
  const int failed = log_from_two_processes();
  demo_read_back(log_directory);
  return failed;
}
