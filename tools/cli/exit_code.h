// The tool's exit codes, as documented in its manual page. A script can
// tell a refused command line from a missing product, a damaged file or a
// store it cannot reach.
#pragma once

namespace xoltlog::tool {

enum class ExitCode : int {
  kOk = 0,
  kFailed = 1,        // a library operation failed for another reason
  kUsage = 2,         // the command line is wrong (unknown option, bad value, delete
                      // without a selection)
  kBadQuery = 3,      // a --where expression, time or selection does not parse
  kNotFound = 4,      // no such product, originator, logset, key, file or directory
  kRefused = 5,       // the value or operation was refused (validation, a product
                      // registered already, a copy target that exists)
  kStore = 6,         // the configuration store cannot be read or written (also for
                      // want of permission)
  kFiles = 7,         // log files cannot be read, written, copied or deleted (also for
                      // want of permission)
  kInternal = 70,     // a fault in the tool itself
};

}  // namespace xoltlog::tool
