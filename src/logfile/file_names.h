// Log file names: who writes a file and when it was started, in the name.
//   ordinary: <dir><product>-<originator>-<host number>-<yymmdd>-<counter:10>.log
//   logset:   <dir><product>-<set file name>-<yymmddhhmmss>.log
// Names are built when a writer starts a file and parsed back when it
// resumes one. The set file name must not hold "-": parsing splits there.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace xoltlog {

// The local date of a writer's current file, as its name shows it.
struct FileDate {
  int second;
  int minute;
  int hour;
  int day;    // 1..31
  int month;  // 1..12
  int year;   // minus 2000
  int weekday;
  int yearday;
  int daylight;
};

FileDate file_date_of(const std::tm& local) noexcept;

// Before a new file is named: today's date replaces a different current
// date and the counter starts at 0; on the same day the counter goes up.
void advance_day_counter(FileDate& current, std::uint32_t& counter, const std::tm& now) noexcept;

// The full path of a new file; throws std::bad_alloc when memory runs out.
std::string ordinary_log_name(std::string_view directory, std::uint32_t product,
                              std::uint32_t originator, std::uint32_t host_number,
                              const FileDate& date, std::uint32_t counter);
std::string logset_log_name(std::string_view directory, std::uint32_t product,
                            std::string_view set_file_name, const std::tm& start);

// What a resumed ordinary file's bare name gives back: its date (year minus
// 2000, month, day) and day counter; nothing when the name does not carry
// them.
struct ResumedOrdinary {
  int year;
  int month;
  int day;
  std::uint32_t counter;
};
std::optional<ResumedOrdinary> parse_ordinary_for_resume(std::string_view name) noexcept;

}  // namespace xoltlog
