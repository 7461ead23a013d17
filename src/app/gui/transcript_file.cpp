#include "app/gui/transcript_file.h"

#include <fstream>

#include "skills/date_time.h"

namespace vesko::gui {

std::string transcriptBlock(const LocalTime& now, const std::string& botNameUpper, const std::string& userNameUpper,
                            const std::string& plainLog) {
  const std::string rule = std::string(54, '#') + "\n";
  std::string block = rule;
  block += "### VESKO 4.1: Transcript of " + monthName(now).std() + " " + dayOfMonth(now).std() + ", " +
           yearText(now).std() + " at " + timeText(now).std() + "\n";
  block += "### Bot " + botNameUpper + " talking to " + userNameUpper + "\n";
  block += rule;
  block += plainLog;
  return block;
}

bool saveTranscript(const std::string& path, const std::string& block) {
  const bool exists = std::ifstream(path, std::ios::binary).is_open();
  std::ofstream out(path, exists ? std::ios::binary | std::ios::app : std::ios::binary | std::ios::trunc);
  if (!out) return false;
  if (exists) out << '\n';
  out << block;
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace vesko::gui
