// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace backprop::fuzzing {

// Reads a fuzz input from the front: a few control bytes, then texts
// separated by the byte 0x1E, so one input can carry several texts.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size)
      : bytes_(reinterpret_cast<const char*>(data), size) {}

  // The next byte, or 0 once the input is used up.
  std::uint8_t Byte() {
    if (pos_ >= bytes_.size()) return 0;
    return static_cast<std::uint8_t>(bytes_[pos_++]);
  }

  // The next sizeof(T) bytes as a T, bit for bit (zeros past the end).
  template <typename T>
  T Value() {
    unsigned char raw[sizeof(T)] = {};
    for (unsigned char& byte : raw) byte = Byte();
    T value;
    std::memcpy(&value, raw, sizeof(T));
    return value;
  }

  // The rest of the input split at the separator into `count` texts (the
  // last ones empty when there are fewer separators).
  std::vector<std::string> Texts(std::size_t count) {
    std::vector<std::string> texts(count);
    std::string_view rest = bytes_.substr(pos_ < bytes_.size() ? pos_ : bytes_.size());
    for (std::size_t n = 0; n < count; ++n) {
      const std::size_t cut = (n + 1 < count) ? rest.find('\x1e') : std::string_view::npos;
      texts[n] = std::string(rest.substr(0, cut));
      if (cut == std::string_view::npos) break;
      rest.remove_prefix(cut + 1);
    }
    pos_ = bytes_.size();
    return texts;
  }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

}  // namespace backprop::fuzzing
