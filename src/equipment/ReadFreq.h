// Frequency lists: the list file reader, the generator of a calibration run's frequencies,
// the sort used on lists, and the range arithmetic of the list builder window.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace brimtal {

class Host;
struct EquipmentConfig;

// Frequencies in MHz. Entry k of a list (counting from 1, as the operator sees it) is
// element k - 1.
using FreqList = std::vector<double>;

// The longest list the program handles; entry numbers are 16-bit.
inline constexpr int kMaxFreqListEntries = 32767;

// The step types of MakeFreqList.
inline constexpr int kStepLinear = 0;
inline constexpr int kStepLog = 1;
inline constexpr int kStepListFile = 2;

// Reads a list file into list (emptied first). Returns the number of entries, 0 for an empty
// path (nothing read, no message), -1 after a message when the file cannot be read or holds
// bad data; entries read before such a failure stay in the list.
int FileTolist(Host& host, const std::string& path, FreqList& list);

// The frequencies of a calibration run, into list (emptied first). stepType 0 linear (step in
// MHz), 1 logarithmic (step in percent), 2 the entries of listFile within [start, stop]; any
// other type, and a sweep that would never end or would exceed kMaxFreqListEntries, gives 0
// and an empty list. With the IFI amplifier selected, a generated sweep that crosses its
// band-switch frequency B gets the pair B, B + 0.000001 in front of its first frequency above
// B, so that the run switches bands exactly at B; a generated frequency that differs from B
// only by rounding is B itself, so the list stays ascending.
int MakeFreqList(Host& host, const EquipmentConfig& equipment, int stepType, double start,
                 double stop, double step, FreqList& list, const std::string& listFile);

// Sorts ascending in place with a diminishing-gap exchange sort, letting window events run
// after every pass.
void SortFreqs(FreqList& list, Host& host);

// One entry as the builder shows and writes it: "#0.0#####".
std::string FreqText(double mhz);
// The entries in FreqText, joined by CR LF, without a line end after the last.
std::string FreqListText(const FreqList& list);

// Sorts the list and keeps each frequency once (entries with the same shortest decimal text
// are one frequency).
void TidyFreqs(FreqList& list, Host& host);

// The ranges the builder adds. Each gives nothing when it would hold more than room entries
// or a frequency that is not finite; the builder refuses such input before calling them
// otherwise (start and step above 0, end not below start, a count of at least 1).
// Linear: start, start + step, ... while below end, then end itself.
std::optional<FreqList> LinearRange(double start, double end, double step, std::size_t room);
// Logarithmic: start, each next frequency stepPercent above the last while below end, then end.
std::optional<FreqList> LogRange(double start, double end, double stepPercent, std::size_t room);
// fundamental x 1, x 2, ... x count.
std::optional<FreqList> HarmonicRange(double fundamental, long count, std::size_t room);

}  // namespace brimtal
