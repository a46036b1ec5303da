// A field of a dBASE III table.
#pragma once
#include <string>
#include <vector>

namespace rt::dbf {

struct FieldDef {
    std::string name;  // upper case, at most 10 characters
    char type = 'C';   // 'C', 'N', 'D', 'L'
    int len = 1;       // C: up to 65535 (width + 256 * decimals byte in the header)
    int dec = 0;       // N only
    int offset = 0;    // byte offset in the record (the delete flag is byte 0, fields start at 1)
};

// Index of a field by name (case-insensitive), -1 when absent.
int find_field(const std::vector<FieldDef>& fields, const std::string& name);

}  // namespace rt::dbf
