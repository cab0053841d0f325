// The text of the generated batch file: the installer's values as environment
// variables, then the author's commands, in a code page the interpreter reads.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace palisade {

// Expands the installer's percent-sign variables (and then the environment's)
// in a text; the caller binds the installer's ExpandVariables.
using VariableExpander = std::function<std::u16string(std::u16string_view)>;

inline constexpr char16_t kBatchFileName[] = u"SETUPBAT.BAT";
inline constexpr char16_t kBatchCaptureFileName[] = u"cs_batch.log";

inline constexpr char kWindows1252CodePageLine[] = "@chcp 1252 >nul\r\n";
inline constexpr char kUtf8CodePageLine[] = "@chcp 65001 >nul\r\n";

struct BatchTextOptions {
    // Automatic mode or a hidden window: nobody can answer a PAUSE.
    bool dropPause = false;
    // The interpreter reads UTF-8 batch files (Windows 7 and later).
    bool utf8Allowed = false;
};

// Windows 7 (NT 6.1) and later run a batch file after "chcp 65001" correctly.
bool SystemTakesUtf8Batches(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor);

// "@echo off", "SET Automatic=...", then one SET line per installer value, in
// the fixed order; quoted where the values are paths or names.
std::u16string BatchVariableLines(const VariableExpander& expand);

// Removes every line that is only PAUSE (any case, blanks around it, one
// leading "@" allowed). Lines end in LF or CR LF.
std::string RemovePauseLines(std::string_view commands);

// Every line break as CR LF (lone LF, lone CR and LF CR each count as one),
// and a final CR LF.
std::string NormaliseLineBreaks(std::string_view text);

// The file's bytes: the code-page line, then `text` in that code page, with
// normalised line breaks. Windows-1252 ("?" for what it lacks) unless UTF-8 is
// allowed and the text has a character above 127.
std::string EncodeBatchFile(std::u16string_view text, bool utf8Allowed);

// The whole batch file for the author's `commands` (Windows-1252 text).
std::string BuildBatchFile(std::string_view commands, const BatchTextOptions& options,
                           const VariableExpander& expand);

// Adds command-line commands to the end of a batch text, on a line of their own.
std::string JoinBatchAddition(std::string_view batch, std::string_view addition);

}  // namespace palisade
