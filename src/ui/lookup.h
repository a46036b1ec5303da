// The lookup list: Ctrl+Enter in a code or document-number field opens the list of the matching
// register or document table; the picked code lands in the field.
//
//   gl.push_back(rt::get(5, 20, wsifra, "999999").valid([] { return PREGLED("ART"); }).name("WSIFRA"));
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace tor {

// The current lookup, read by the list print (STAMPRE).
inline std::string ZA;                    // list name ("DOBARA" …), in the printed list's title
inline std::string ZAG;                   // heading line
inline std::function<std::string()> RED;  // the current record's row
inline std::string SKLJUC;                // the trimmed search text
// The value the last lookup put into its field (0 after Esc): for callers that run PREGLED
// outside an input field's validation.
inline double PREGLED_VALUE = 0;

// The validation of a code field: true when the field was not left through Ctrl+Enter; otherwise
// shows the list of the kind ("ART", "ART_U", "PAR", "PAR_0", "OBA", "OPI", "MES", "BAN", "KAL",
// "ZRM", "FAK", "REP", "PRO", "RAS", "ZAD", "K_M") and returns false with the picked value (0 on
// Esc) in the field. A kind without a list ("TAR", anything unknown) accepts the field.
// The table must be open under the kind's alias. On leaving, "PAR"/"PAR_0" leave the table
// filtered to partners (codes below 9000), "OBA" to obligations (above 9000), every other kind
// without a filter; "RAS" leaves the number order (index 2) current. The table stays on the
// record under the bar, and the work area that was selected before is selected again.
// An empty table (or one not open): "Nema podataka u aktuelnoj bazi !" and false.
bool PREGLED(std::string_view kind);

}  // namespace tor
