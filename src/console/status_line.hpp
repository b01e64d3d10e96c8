#pragma once

// The status line of a terminal: one line that tells how far a long analysis
// has come, rewritten in place and wiped before anything else is written, so
// that it never mixes with the dialogue or the listings. It is rewritten at
// most ten times a second: a terminal that is sent more only slows the run.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace console {

class StatusLine {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration interval = std::chrono::milliseconds(100);

  // True when a new text may be shown at `now`.
  bool due(Clock::time_point now) const;
  // The terminal text that puts `text` in place of the line shown before,
  // fitted to a terminal of `columns` characters. The cursor must stand at
  // the start of the status line's row.
  std::string show(std::string_view text, int columns, Clock::time_point now);
  // The terminal text that removes the line and leaves the cursor at the
  // start of its row; empty when no line is shown. The next text is due at once.
  std::string wipe();
  bool shown() const { return shown_; }

 private:
  bool shown_ = false;
  std::optional<Clock::time_point> last_shown_;
};

// The text cut to fit a terminal of `columns` characters (80 when not
// known), the last column left free: a character there makes some terminals
// move to the next line, and the line would no longer be rewritten in place.
// Control characters become blanks.
std::string fit_to_width(std::string_view text, int columns);

}  // namespace console
