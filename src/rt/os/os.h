// Files, paths, the workstation identifier and the printer device.
// Paths of the original ("C:\DIR\FILE.DBF") are accepted: backslashes become "/", a drive letter
// C: goes to TORPDV_DRIVE_C (default: the installation directory, the working directory).
// Existing files are found case-insensitively; new files are named in lower case.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rt::os {

// The path as this system uses it: "/" separators, drive letter mapped. No lookup.
std::string native_path(std::string_view path);
// An existing file or directory whose name matches case-insensitively (each component);
// when none exists, the path with its last component in lower case (for creating it).
std::string resolve(std::string_view path);
bool exists(std::string_view path);          // FILE(): a file or directory, case-insensitive;
                                             // a mask in the last component ("*.ntx") tests for any match
bool is_dir(std::string_view path);
bool make_dir(std::string_view path);        // true when it exists afterwards
bool erase(std::string_view path);           // FERASE: true when removed
bool rename_file(std::string_view from, std::string_view to);  // replaces an existing target
bool copy_file(std::string_view from, std::string_view to);  // COPY FILE (replaces the target)
// Gives the open file fd the mode of the file it will replace (or the usual mode of a new file),
// for files written under a temporary name and renamed over their target.
void give_mode_of(int fd, std::string_view target);
// Files in dir whose names match the DOS mask ("*.ntx", "TOR???.001"), case-insensitively.
std::vector<std::string> list_dir(std::string_view dir, std::string_view mask = "*");
// Sub-directories of dir whose names match the mask (company directories and the like).
std::vector<std::string> list_subdirs(std::string_view dir, std::string_view mask = "*");
bool dir_has_files(std::string_view dir);    // false when dir is missing
uint64_t free_space(std::string_view dir);   // bytes available
int64_t file_size(std::string_view path);    // -1 when missing
std::string read_file(std::string_view path);              // whole file, "" when missing
bool write_file(std::string_view path, std::string_view data);  // never left half-written
bool append_file(std::string_view path, std::string_view data);
// Creates an empty file under exactly this name (lower case when new); false when a file of that
// name exists in any case, so two workstations never take the same name.
bool create_new_file(std::string_view path);
// Creates an empty file dir/prefix + number + ext with a number no file has yet and returns its
// path ("" when the directory is not writable): scratch files and temporary indexes.
std::string create_unique_file(std::string_view dir, std::string_view prefix, std::string_view ext);
std::string file_name(std::string_view path);       // last component
std::string dir_name(std::string_view path);        // without the last component ("" for none)
std::string strip_ext(std::string_view path);       // "a/b.dbf" -> "a/b"
std::string ext(std::string_view path);             // ".dbf" or ""
std::string join(std::string_view dir, std::string_view name);
std::string cwd();

// The workstation identifier: TORPDV_PCID when set, else the first eight hex digits of the
// machine id in upper case (only [0-9A-Z] kept); "00000000" when none can be read.
std::string workstation_id();

// The printer device: appends raw bytes to TORPDV_PRINTER when set, else pipes to
// "lp -o raw" (TORPDV_LP overrides the command). Each printer_write through the command is one
// print job, so a report is written in one call. Ready = the file is writable / the command exists.
bool printer_ready();
bool printer_write(std::string_view bytes);

}  // namespace rt::os
