#include "mediaengine/disc/cue_sheet.h"

#include <set>

#include "mediaengine/disc/cd_audio.h"
#include "os/file_names.h"
#include "os/text_encoding.h"

namespace mediaengine {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool IsSpace(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(const std::string& text, std::size_t minCount, std::size_t maxCount) {
  if (text.size() < minCount || text.size() > maxCount) return false;
  for (char c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

// Characters (not bytes) of valid UTF-8.
std::size_t CharacterCount(const std::string& utf8) {
  std::size_t count = 0;
  for (char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

struct Token {
  std::string text;
  bool quoted = false;
};

// Words of one line; a word in double quotes may hold spaces. The format has
// no escapes, so a quoted word ends at the next quote.
class LineReader {
 public:
  explicit LineReader(const std::string& line) : line_(line) {}

  bool AtEnd() {
    SkipSpace();
    return pos_ == line_.size();
  }

  // False at the end of the line, or with `error` set for a broken quote.
  bool Next(Token* token, std::string* error) {
    error->clear();
    if (AtEnd()) return false;
    token->text.clear();
    token->quoted = line_[pos_] == '"';
    if (token->quoted) {
      const std::size_t close = line_.find('"', pos_ + 1);
      if (close == std::string::npos) {
        *error = "a quoted text has no closing quote";
        return false;
      }
      token->text = line_.substr(pos_ + 1, close - pos_ - 1);
      pos_ = close + 1;
      if (pos_ < line_.size() && !IsSpace(line_[pos_])) {
        *error = "text follows a closing quote without a space";
        return false;
      }
      return true;
    }
    const std::size_t begin = pos_;
    while (pos_ < line_.size() && !IsSpace(line_[pos_])) ++pos_;
    token->text = line_.substr(begin, pos_ - begin);
    return true;
  }

  // CD-TEXT: the text between the first and the last quote (some rippers
  // write TITLE "Say "Hi"" without escapes), or the rest of the line as
  // written. Never fails: a broken quote reads as far as the line goes.
  std::string LooseText() {
    if (AtEnd()) return std::string();
    std::size_t begin = pos_;
    std::size_t end = line_.size();
    while (end > begin && IsSpace(line_[end - 1])) --end;
    if (line_[begin] == '"') {
      const std::size_t last = line_.rfind('"');
      ++begin;
      if (last >= begin) end = last;
    }
    pos_ = line_.size();
    return line_.substr(begin, end - begin);
  }

  // The value of a text command: one quoted text, or else the rest of the
  // line as written (some writers leave titles unquoted).
  bool Text(std::string* value, std::string* error) {
    error->clear();
    if (AtEnd()) {
      *error = "a value is missing";
      return false;
    }
    if (line_[pos_] != '"') {
      std::size_t end = line_.size();
      while (end > pos_ && IsSpace(line_[end - 1])) --end;
      *value = line_.substr(pos_, end - pos_);
      pos_ = line_.size();
      return true;
    }
    Token token;
    if (!Next(&token, error)) return false;
    if (!AtEnd()) {
      *error = "unexpected text after the quoted value";
      return false;
    }
    *value = token.text;
    return true;
  }

 private:
  void SkipSpace() {
    while (pos_ < line_.size() && IsSpace(line_[pos_])) ++pos_;
  }

  const std::string& line_;
  std::size_t pos_ = 0;
};

class Parser {
 public:
  bool Run(const std::string& text, CueSheet* sheet, CueError* error) {
    std::size_t pos = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos <= text.size()) {
      std::size_t end = text.find_first_of("\r\n", pos);
      if (end == std::string::npos) end = text.size();
      ++line_;
      if (!Line(text.substr(pos, end - pos))) return Report(error);
      if (end == text.size()) break;
      pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    line_ = 0;
    if (!FinishTrack()) return Report(error);
    if (!seenFile_ || sheet_.tracks.empty()) {
      Fail(seenFile_ ? "the sheet has no TRACK command" : "the sheet has no FILE command");
      return Report(error);
    }
    *sheet = std::move(sheet_);
    return true;
  }

 private:
  bool Fail(const std::string& reason) {
    failLine_ = line_;
    reason_ = reason;
    return false;
  }
  bool FailAt(int line, const std::string& reason) {
    Fail(reason);
    failLine_ = line;
    return false;
  }
  bool Report(CueError* error) const {
    error->line = failLine_;
    error->reason = os::WideFromUtf8(reason_);
    return false;
  }

  CueTrack* Track() { return sheet_.tracks.empty() ? nullptr : &sheet_.tracks.back(); }

  // A command that may appear once per disc or once per track.
  bool Once(const std::string& command) {
    if (seen_.insert(command).second) return true;
    return Fail(command + " is given twice" + (Track() ? " for one track" : " for the disc"));
  }

  bool Line(const std::string& line) {
    if (line.find('\0') != std::string::npos) return Fail("a NUL character: not a text file");
    LineReader reader(line);
    Token word;
    std::string error;
    if (!reader.Next(&word, &error)) {
      if (!os::IsValidUtf8(line)) return Fail("the text is not valid UTF-8");
      return error.empty() || Fail(error);
    }
    const std::string command = Upper(word.text);
    // A disc is never refused for its CD-TEXT alone.
    if (!word.quoted &&
        (command == "TITLE" || command == "PERFORMER" || command == "SONGWRITER")) {
      CdText(command, reader.LooseText());
      return true;
    }
    if (!os::IsValidUtf8(line)) return Fail("the text is not valid UTF-8");
    if (word.quoted) return Fail("a command is expected, not a quoted text");
    if (command == "REM") return Remark(reader);
    if (command == "FILE") return File(reader);
    if (command == "TRACK") return NewTrack(reader);
    if (command == "INDEX") return Index(reader);
    if (command == "PREGAP" || command == "POSTGAP") return Gap(command, reader);
    if (command == "CATALOG") return Catalog(reader);
    if (command == "FLAGS") return Flags(reader);
    if (command == "ISRC" || command == "CDTEXTFILE") {
      // Accepted and not used: CD-TEXT comes from the sheet itself.
      if (command == "ISRC" && !Track()) return Fail("ISRC belongs to a TRACK");
      std::string value;
      if (!reader.Text(&value, &error)) return Fail(command + ": " + error);
      // Nothing outside the disc's own folder is named, even if unread.
      if (command == "CDTEXTFILE" && !os::IsPlainFileName(os::WideFromUtf8(value))) {
        return Fail("CDTEXTFILE must name a file beside the cue sheet");
      }
      return true;
    }
    return Fail("unknown command \"" + word.text + "\"");
  }

  bool Remark(LineReader& reader) {
    Token field;
    std::string error;
    // Any other remark, or one inside a track, is a comment.
    if (!reader.Next(&field, &error) || field.quoted || Track()) return true;
    const std::string key = Upper(field.text);
    std::wstring* target = key == "GENRE"     ? &sheet_.genre
                           : key == "DATE"    ? &sheet_.date
                           : key == "DISCID"  ? &sheet_.discId
                           : key == "COMMENT" ? &sheet_.comment
                                              : nullptr;
    if (!target) return true;
    std::string value;
    if (!reader.Text(&value, &error)) return Fail("REM " + key + ": " + error);
    if (!Once("REM " + key)) return false;
    *target = os::WideFromUtf8(value);
    return true;
  }

  // Text the sheet cannot give well is left out (the placeholders show): a
  // value that is not UTF-8 (it may be Shift-JIS, which cannot be told from
  // other code pages) or one given a second time. A longer value than CD-TEXT
  // holds is cut to its first 80 characters.
  void CdText(const std::string& command, std::string value) {
    if (!os::IsValidUtf8(value)) return;
    if (!seen_.insert(command).second) return;
    if (CharacterCount(value) > kMaxCdTextChars) {
      std::size_t count = 0, at = 0;
      for (; at < value.size(); ++at) {
        if ((static_cast<unsigned char>(value[at]) & 0xC0) != 0x80 && count++ == kMaxCdTextChars) {
          break;
        }
      }
      value.resize(at);
    }
    CueTrack* track = Track();
    std::wstring* target = command == "TITLE" ? (track ? &track->title : &sheet_.title)
                           : command == "PERFORMER"
                               ? (track ? &track->performer : &sheet_.performer)
                               : (track ? &track->songwriter : &sheet_.songwriter);
    *target = os::WideFromUtf8(value);
  }

  bool File(LineReader& reader) {
    if (seenFile_) return Fail("only one FILE is supported: the disc is one image");
    Token name, type;
    std::string error;
    if (!reader.Next(&name, &error)) return Fail(error.empty() ? "FILE needs a file name" : error);
    if (!reader.Next(&type, &error)) {
      return Fail(error.empty() ? "FILE needs a type (BINARY)" : error);
    }
    if (!reader.AtEnd()) return Fail("unexpected text after the FILE type");
    const std::string kind = Upper(type.text);
    if (kind == "MOTOROLA") return Fail("big-endian (MOTOROLA) images are not supported");
    if (kind != "BINARY") {
      return Fail("file type " + type.text + " is not supported: BINARY expected");
    }
    if (name.text.empty()) return Fail("FILE names no file");
    if (!os::IsPlainFileName(os::WideFromUtf8(name.text))) {
      return Fail("FILE must name a file beside the cue sheet: \"" + name.text +
                  "\" is a folder, a pattern or a device");
    }
    seenFile_ = true;
    sheet_.fileName = os::WideFromUtf8(name.text);
    return true;
  }

  bool NewTrack(LineReader& reader) {
    if (!seenFile_) return Fail("TRACK comes before FILE");
    if (!FinishTrack()) return false;
    Token number, type;
    std::string error;
    if (!reader.Next(&number, &error)) return Fail(error.empty() ? "TRACK needs a number" : error);
    if (!reader.Next(&type, &error)) {
      return Fail(error.empty() ? "TRACK needs a type (AUDIO)" : error);
    }
    if (!reader.AtEnd()) return Fail("unexpected text after the TRACK type");
    if (number.quoted || !AllDigits(number.text, 1, 2) || std::stoi(number.text) < 1) {
      return Fail("track number \"" + number.text + "\" is not 01..99");
    }
    const int value = std::stoi(number.text);
    const int expected = static_cast<int>(sheet_.tracks.size()) + 1;
    if (value != expected) {
      return Fail("track " + number.text + " is out of order: track " + std::to_string(expected) +
                  " expected");
    }
    if (Upper(type.text) != "AUDIO") {
      return Fail("track type " + type.text + " is not supported: only AUDIO tracks");
    }
    CueTrack track;
    track.number = value;
    track.line = line_;
    sheet_.tracks.push_back(track);
    seen_.clear();
    lastIndex_ = -1;
    postgapSeen_ = false;
    return true;
  }

  bool FinishTrack() {
    const CueTrack* track = Track();
    if (!track || lastIndex_ >= 1) return true;
    return FailAt(track->line, "track " + std::to_string(track->number) + " has no INDEX 01");
  }

  bool Index(LineReader& reader) {
    CueTrack* track = Track();
    if (!track) return Fail("INDEX comes before TRACK");
    Token number, time;
    std::string error;
    if (!reader.Next(&number, &error)) return Fail(error.empty() ? "INDEX needs a number" : error);
    if (!reader.Next(&time, &error)) return Fail(error.empty() ? "INDEX needs a time" : error);
    if (!reader.AtEnd()) return Fail("unexpected text after the INDEX time");
    if (number.quoted || !AllDigits(number.text, 1, 2)) {
      return Fail("index number \"" + number.text + "\" is not 00..99");
    }
    std::uint32_t position = 0;
    if (time.quoted || !ParseCueTime(time.text, &position)) {
      return Fail("INDEX time \"" + time.text + "\" is not mm:ss:ff");
    }
    const int value = std::stoi(number.text);
    const bool inOrder = lastIndex_ < 0 ? value <= 1 : value == lastIndex_ + 1;
    if (!inOrder) return Fail("INDEX " + number.text + " is out of order");
    if (postgapSeen_) return Fail("INDEX comes after POSTGAP");
    if (!anyIndex_ && position != 0) return Fail("the first INDEX of the file must be 00:00:00");
    if (anyIndex_ && position < lastPosition_) {
      return Fail("INDEX " + number.text + " lies before the index above it");
    }
    if (value == 1 && sheet_.tracks.size() > 1 && position <= sheet_.tracks.end()[-2].index1) {
      return Fail("track " + std::to_string(track->number) +
                  " starts where the track before it starts");
    }
    if (value == 0) {
      track->hasIndex0 = true;
      track->index0 = position;
    } else if (value == 1) {
      track->index1 = position;
    }
    lastIndex_ = value;
    lastPosition_ = position;
    anyIndex_ = true;
    return true;
  }

  bool Gap(const std::string& command, LineReader& reader) {
    CueTrack* track = Track();
    if (!track) return Fail(command + " comes before TRACK");
    Token time;
    std::string error;
    if (!reader.Next(&time, &error)) return Fail(error.empty() ? command + " needs a time" : error);
    if (!reader.AtEnd()) return Fail("unexpected text after the " + command + " time");
    std::uint32_t sectors = 0;
    if (time.quoted || !ParseCueTime(time.text, &sectors)) {
      return Fail(command + " time \"" + time.text + "\" is not mm:ss:ff");
    }
    if (!Once(command)) return false;
    if (command == "PREGAP") {
      if (lastIndex_ >= 0) return Fail("PREGAP must come before the track's INDEX lines");
      track->pregapSectors = sectors;
    } else {
      if (lastIndex_ < 1) return Fail("POSTGAP must follow the track's INDEX 01");
      track->postgapSectors = sectors;
      postgapSeen_ = true;
    }
    return true;
  }

  bool Catalog(LineReader& reader) {
    if (Track()) return Fail("CATALOG belongs before the first TRACK");
    Token number;
    std::string error;
    if (!reader.Next(&number, &error) || !reader.AtEnd() || !AllDigits(number.text, 13, 13)) {
      return Fail("CATALOG needs a number of 13 digits");
    }
    if (!Once("CATALOG")) return false;
    sheet_.catalog = os::WideFromUtf8(number.text);
    return true;
  }

  bool Flags(LineReader& reader) {
    if (!Track()) return Fail("FLAGS belongs to a TRACK");
    Token flag;
    std::string error;
    while (reader.Next(&flag, &error)) {
      const std::string name = Upper(flag.text);
      if (name != "DCP" && name != "4CH" && name != "PRE" && name != "SCMS") {
        return Fail("unknown flag \"" + flag.text + "\"");
      }
    }
    return error.empty() || Fail(error);
  }

  CueSheet sheet_;
  int line_ = 0;
  int failLine_ = 0;
  std::string reason_;
  bool seenFile_ = false;
  std::set<std::string> seen_;  // once-only commands of the current disc or track block
  int lastIndex_ = -1;          // last INDEX number of the current track
  bool postgapSeen_ = false;
  bool anyIndex_ = false;
  std::uint32_t lastPosition_ = 0;  // position of the last INDEX in the file
};

}  // namespace

bool ParseCueTime(const std::string& text, std::uint32_t* sectors) {
  const std::size_t first = text.find(':');
  if (first == std::string::npos || text.size() - first != 6 || text[first + 3] != ':') {
    return false;
  }
  const std::string minutes = text.substr(0, first);
  const std::string seconds = text.substr(first + 1, 2);
  const std::string frames = text.substr(first + 4, 2);
  if (!AllDigits(minutes, 1, 3) || !AllDigits(seconds, 2, 2) || !AllDigits(frames, 2, 2)) {
    return false;
  }
  const std::uint32_t s = static_cast<std::uint32_t>(std::stoul(seconds));
  const std::uint32_t f = static_cast<std::uint32_t>(std::stoul(frames));
  if (s >= 60 || f >= kSectorsPerSecond) return false;
  *sectors = (static_cast<std::uint32_t>(std::stoul(minutes)) * 60 + s) * kSectorsPerSecond + f;
  return true;
}

bool ParseCueSheet(const std::string& text, CueSheet* sheet, CueError* error) {
  Parser parser;
  return parser.Run(text, sheet, error);
}

}  // namespace mediaengine
