#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/code_page.h"

namespace xoltlog::platform {
namespace {

constexpr std::uint64_t kHighBitOfEachByte = 0x8080808080808080u;

// The allowed range of the byte after a lead byte, and the sequence length,
// as RFC 3629 lists them; the narrowed ranges after E0, ED, F0 and F4 are
// what rule out overlong forms, surrogates and code points above U+10FFFF.
struct LeadRule {
  std::size_t length;
  unsigned char second_low;
  unsigned char second_high;
};

LeadRule lead_rule(unsigned char lead) noexcept {
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

// Length of the well-formed multibyte sequence at bytes, 0 when ill-formed.
std::size_t sequence_length(const unsigned char* bytes, std::size_t remaining) noexcept {
  const LeadRule rule = lead_rule(bytes[0]);
  if (rule.length == 0 || remaining < rule.length) return 0;
  if (bytes[1] < rule.second_low || bytes[1] > rule.second_high) return 0;
  for (std::size_t i = 2; i < rule.length; ++i) {
    if ((bytes[i] & 0xC0) != 0x80) return 0;
  }
  return rule.length;
}

bool eight_ascii_bytes(const unsigned char* bytes) noexcept {
  std::uint64_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  return (word & kHighBitOfEachByte) == 0;
}

constexpr std::uint64_t kOneInEachByte = 0x0101010101010101u;
constexpr std::uint64_t kLineFeeds = kOneInEachByte * '\n';

// A high bit in each byte of the result that is not ASCII or is a line feed;
// the zero-byte test ((x - 1) & ~x & 0x80) is exact for whether any byte
// of x is zero.
std::uint64_t eight_bytes_off_line(const unsigned char* bytes) noexcept {
  std::uint64_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  const std::uint64_t line_feeds = word ^ kLineFeeds;
  return (word | ((line_feeds - kOneInEachByte) & ~line_feeds)) & kHighBitOfEachByte;
}

bool short_single_line_ascii(const unsigned char* bytes, std::size_t size) noexcept {
  if (size >= 8) {
    // Two words that may overlap cover 8 to 15 bytes.
    return (eight_bytes_off_line(bytes) | eight_bytes_off_line(bytes + size - 8)) == 0;
  }
  bool plain = true;
  for (std::size_t i = 0; i < size; ++i) plain &= bytes[i] < 0x80 && bytes[i] != '\n';
  return plain;
}

#if defined(__SSE2__)
constexpr std::size_t kBlock = 16;

// Sixteen bytes at a time; the last block may overlap the one before.
bool long_single_line_ascii(const unsigned char* bytes, std::size_t size) noexcept {
  const __m128i line_feed = _mm_set1_epi8('\n');
  const auto off_line = [&](const unsigned char* at) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return _mm_or_si128(block, _mm_cmpeq_epi8(block, line_feed));
  };
  __m128i found = off_line(bytes + size - kBlock);
  for (std::size_t i = 0; i + kBlock < size; i += kBlock) {
    found = _mm_or_si128(found, off_line(bytes + i));
  }
  return _mm_movemask_epi8(found) == 0;
}
#else
constexpr std::size_t kBlock = 8;

bool long_single_line_ascii(const unsigned char* bytes, std::size_t size) noexcept {
  std::uint64_t found = eight_bytes_off_line(bytes + size - kBlock);
  for (std::size_t i = 0; i + kBlock < size; i += kBlock) {
    found |= eight_bytes_off_line(bytes + i);
  }
  return found == 0;
}
#endif

}  // namespace

bool is_single_line_ascii(std::string_view text) noexcept {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  return text.size() >= kBlock ? long_single_line_ascii(bytes, text.size())
                               : short_single_line_ascii(bytes, text.size());
}

bool is_well_formed_utf8(std::string_view text) noexcept {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t i = 0;
  while (i < size) {
    // Log text is mostly ASCII: skip it a word at a time.
    if (size - i >= 8 && eight_ascii_bytes(bytes + i)) {
      i += 8;
    } else if (bytes[i] < 0x80) {
      ++i;
    } else {
      const std::size_t length = sequence_length(bytes + i, size - i);
      if (length == 0) return false;
      i += length;
    }
  }
  return true;
}

}  // namespace xoltlog::platform
