# Link-time optimisation of the libraries in optimised builds: the write path
# crosses the message, writer and platform layers for every record, and
# inlining across them is worth several percent of its throughput. Debug and
# sanitizer builds stay without it, for their debuggability and build time;
# tests, benchmarks and examples too, so that the compiler does not judge
# test code (a deliberately impossible allocation, say) inlined into the
# library. Sets XOLTLOG_IPO.
option(XOLTLOG_LTO "Link-time optimisation in optimised builds" ON)

set(XOLTLOG_IPO OFF)
if(XOLTLOG_LTO AND NOT XOLTLOG_SANITIZE AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  include(CheckIPOSupported)
  check_ipo_supported(RESULT xoltlog_ipo_supported OUTPUT xoltlog_ipo_output LANGUAGES C CXX)
  if(xoltlog_ipo_supported)
    set(XOLTLOG_IPO ON)
  else()
    message(STATUS "xoltlog: no link-time optimisation: ${xoltlog_ipo_output}")
  endif()
endif()
