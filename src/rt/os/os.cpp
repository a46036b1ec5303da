// Files and paths: DOS-style paths of the original mapped onto this system, names found
// case-insensitively, whole-file reads and writes, the workstation identifier, the printer.
#include "rt/os/os.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace rt::os {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lower_str(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = lower(c);
    return r;
}

bool iequal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool is_sep(char c) { return c == '/' || c == '\\'; }

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

bool stat_path(const std::string& p, struct stat& st) { return ::stat(p.c_str(), &st) == 0; }

bool is_regular(const std::string& p) {
    struct stat st;
    return stat_path(p, st) && S_ISREG(st.st_mode);
}

// Names in a directory ("" = the working directory), without "." and "..".
std::vector<std::string> entries(const std::string& dir) {
    std::vector<std::string> out;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return out;
    while (struct dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") out.push_back(n);
    }
    ::closedir(d);
    std::sort(out.begin(), out.end());
    return out;
}

// DOS mask match: "*" any run, "?" one character, case-insensitive; "*.*" and "name.*"
// also match names without an extension.
bool mask_match(std::string_view mask, std::string_view name) {
    size_t m = 0, n = 0, star_m = std::string_view::npos, star_n = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || lower(mask[m]) == lower(name[n]))) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == '*') {
            star_m = m++;
            star_n = n;
        } else if (star_m != std::string_view::npos) {
            m = star_m + 1;
            n = ++star_n;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    if (m == mask.size()) return true;
    // A trailing ".*" matches an empty extension too.
    return mask.substr(m) == ".*" && name.find('.') == std::string_view::npos;
}

bool has_wildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

// Writes all bytes to an open descriptor.
bool write_all(int fd, std::string_view data) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t w = ::write(fd, p, left);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        left -= static_cast<size_t>(w);
    }
    return true;
}

}  // namespace

void give_mode_of(int fd, std::string_view target) {
    struct stat st;
    mode_t mode;
    if (stat_path(std::string(target), st)) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
}

namespace {

// Writes data to a new file beside `target` and renames it over `target`, so that the target
// is never seen half-written.
bool replace_atomically(const std::string& target, std::string_view data) {
    std::string dir = dir_name(target);
    std::string tmpl = join(dir, ".tmp_" + file_name(target) + ".XXXXXX");
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    int fd = ::mkstemp(buf.data());
    if (fd < 0) return false;
    std::string tmp(buf.data());
    bool ok = write_all(fd, data);
    give_mode_of(fd, target);
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) ok = false;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

// Finds `cmd`'s program in PATH (or as given when it names a path).
bool command_found(const std::string& cmd) {
    size_t b = cmd.find_first_not_of(" \t");
    if (b == std::string::npos) return false;
    size_t e = cmd.find_first_of(" \t", b);
    std::string prog = cmd.substr(b, e == std::string::npos ? std::string::npos : e - b);
    if (prog.find('/') != std::string::npos) return ::access(prog.c_str(), X_OK) == 0;
    std::string path = env("PATH");
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t c = path.find(':', pos);
        std::string d = path.substr(pos, c == std::string::npos ? std::string::npos : c - pos);
        if (d.empty()) d = ".";
        std::string f = d + "/" + prog;
        if (is_regular(f) && ::access(f.c_str(), X_OK) == 0) return true;
        if (c == std::string::npos) break;
        pos = c + 1;
    }
    return false;
}

std::string lp_command() {
    std::string c = env("TORPDV_LP");
    return c.empty() ? std::string("lp -o raw") : c;
}

}  // namespace

std::string cwd() {
    std::string buf(4096, '\0');
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE) return ".";
        buf.resize(buf.size() * 2);
    }
    return std::string(buf.c_str());
}

std::string native_path(std::string_view path) {
    std::string rest;
    std::string base;
    // A drive letter ("C:", "D:\…"): every drive maps to the same place, TORPDV_DRIVE_C or the
    // working directory (the installation directory).
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        base = env("TORPDV_DRIVE_C");
        if (base.empty()) base = cwd();
        path.remove_prefix(2);
        while (!path.empty() && is_sep(path.front())) path.remove_prefix(1);
    }
    rest.reserve(path.size());
    for (char c : path) rest += c == '\\' ? '/' : c;
    if (base.empty()) return rest;
    if (rest.empty()) return base;
    return join(base, rest);
}

std::string resolve(std::string_view path) {
    std::string p = native_path(path);
    if (p.empty()) return p;
    std::string out;
    size_t i = 0;
    if (p[0] == '/') {
        out = "/";
        while (i < p.size() && p[i] == '/') ++i;
    }
    bool missing = false;  // a component was not found: the rest is created, in lower case
    while (i < p.size()) {
        size_t j = p.find('/', i);
        std::string comp = p.substr(i, j == std::string::npos ? std::string::npos : j - i);
        i = j == std::string::npos ? p.size() : j + 1;
        while (i < p.size() && p[i] == '/') ++i;  // "a//b"
        if (comp.empty()) continue;
        std::string name = comp;
        if (comp != "." && comp != "..") {
            if (missing) {
                name = lower_str(comp);
            } else {
                std::string exact = out.empty() ? comp : join(out, comp);
                struct stat st;
                if (::lstat(exact.c_str(), &st) != 0) {
                    missing = true;
                    name = lower_str(comp);
                    for (const std::string& e : entries(out)) {
                        if (iequal(e, comp)) {
                            name = e;
                            missing = false;
                            break;
                        }
                    }
                }
            }
        }
        out = out.empty() ? name : join(out, name);
    }
    if (p.back() == '/' && !out.empty() && out.back() != '/') out += '/';
    return out;
}

bool exists(std::string_view path) {
    std::string p = native_path(path);
    std::string name = file_name(p);
    if (has_wildcard(name)) {
        std::string dir = dir_name(p);
        return !list_dir(dir, name).empty();
    }
    struct stat st;
    return stat_path(resolve(p), st);
}

bool is_dir(std::string_view path) {
    struct stat st;
    return stat_path(resolve(path), st) && S_ISDIR(st.st_mode);
}

bool make_dir(std::string_view path) {
    std::string p = resolve(path);
    if (p.empty()) return false;
    if (is_dir(p)) return true;
    // Parents first (each one resolved case-insensitively by resolve above).
    std::string parent = dir_name(p);
    if (!parent.empty() && parent != "/" && !is_dir(parent) && !make_dir(parent)) return false;
    if (::mkdir(p.c_str(), 0777) != 0 && errno != EEXIST) return false;
    return is_dir(p);
}

bool erase(std::string_view path) {
    std::string p = resolve(path);
    struct stat st;
    if (!stat_path(p, st) || S_ISDIR(st.st_mode)) return false;
    return ::unlink(p.c_str()) == 0;
}

bool rename_file(std::string_view from, std::string_view to) {
    std::string f = resolve(from);
    if (!is_regular(f)) return false;
    std::string t = resolve(to);
    return ::rename(f.c_str(), t.c_str()) == 0;
}

bool copy_file(std::string_view from, std::string_view to) {
    std::string f = resolve(from);
    if (!is_regular(f)) return false;
    std::string t = resolve(to);
    int fd = ::open(f.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::string data;
    char buf[65536];
    for (;;) {
        ssize_t r = ::read(fd, buf, sizeof buf);
        if (r < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return false;
        }
        if (r == 0) break;
        data.append(buf, static_cast<size_t>(r));
    }
    ::close(fd);
    return replace_atomically(t, data);
}

std::vector<std::string> list_dir(std::string_view dir, std::string_view mask) {
    std::vector<std::string> out;
    std::string d = dir.empty() ? std::string() : resolve(dir);
    for (const std::string& e : entries(d)) {
        if (!mask_match(mask, e)) continue;
        if (is_regular(d.empty() ? e : join(d, e))) out.push_back(e);
    }
    return out;
}

std::vector<std::string> list_subdirs(std::string_view dir, std::string_view mask) {
    std::vector<std::string> out;
    std::string d = dir.empty() ? std::string() : resolve(dir);
    for (const std::string& e : entries(d)) {
        if (!mask_match(mask, e)) continue;
        struct stat st;
        if (stat_path(d.empty() ? e : join(d, e), st) && S_ISDIR(st.st_mode)) out.push_back(e);
    }
    return out;
}

bool dir_has_files(std::string_view dir) { return !list_dir(dir, "*").empty(); }

uint64_t free_space(std::string_view dir) {
    std::string d = dir.empty() ? std::string(".") : resolve(dir);
    struct statvfs vfs;
    if (::statvfs(d.c_str(), &vfs) != 0) return 0;
    return static_cast<uint64_t>(vfs.f_bavail) * static_cast<uint64_t>(vfs.f_frsize);
}

int64_t file_size(std::string_view path) {
    struct stat st;
    if (!stat_path(resolve(path), st) || S_ISDIR(st.st_mode)) return -1;
    return static_cast<int64_t>(st.st_size);
}

std::string read_file(std::string_view path) {
    std::string p = resolve(path);
    int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::string();
    std::string data;
    char buf[65536];
    for (;;) {
        ssize_t r = ::read(fd, buf, sizeof buf);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        data.append(buf, static_cast<size_t>(r));
    }
    ::close(fd);
    return data;
}

bool write_file(std::string_view path, std::string_view data) {
    std::string p = resolve(path);
    struct stat st;
    if (stat_path(p, st) && !S_ISREG(st.st_mode)) {
        // A device or pipe: written in place.
        int fd = ::open(p.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return false;
        bool ok = write_all(fd, data);
        return ::close(fd) == 0 && ok;
    }
    return replace_atomically(p, data);
}

bool append_file(std::string_view path, std::string_view data) {
    std::string p = resolve(path);
    int fd = ::open(p.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = write_all(fd, data);
    return ::close(fd) == 0 && ok;
}

bool create_new_file(std::string_view path) {
    std::string p = resolve(path);
    struct stat st;
    if (::lstat(p.c_str(), &st) == 0) return false;
    int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

std::string create_unique_file(std::string_view dir, std::string_view prefix, std::string_view ext) {
    // Numbers start from the process id and the clock so that workstations rarely meet.
    unsigned long n = static_cast<unsigned long>(::getpid()) * 7919UL + static_cast<unsigned long>(::time(nullptr));
    for (int tries = 0; tries < 100000; ++tries, ++n) {
        char num[16];
        std::snprintf(num, sizeof num, "%05lu", n % 100000UL);
        std::string name = std::string(prefix) + num + std::string(ext);
        std::string p = dir.empty() ? name : join(dir, name);
        if (create_new_file(p)) return resolve(p);
        if (!exists(p)) return std::string();  // not taken, yet not creatable
    }
    return std::string();
}

std::string file_name(std::string_view path) {
    size_t p = path.size();
    while (p > 0 && !is_sep(path[p - 1])) --p;
    if (p == 0 && path.size() >= 2 && path[1] == ':') p = 2;  // "C:NAME"
    return std::string(path.substr(p));
}

std::string dir_name(std::string_view path) {
    size_t p = path.size();
    while (p > 0 && !is_sep(path[p - 1])) --p;
    if (p == 0) return std::string();
    size_t e = p - 1;  // the separator
    while (e > 0 && is_sep(path[e - 1])) --e;
    if (e == 0) return std::string(path.substr(0, 1));  // the root
    return std::string(path.substr(0, e));
}

std::string ext(std::string_view path) {
    std::string n = file_name(path);
    size_t dot = n.rfind('.');
    if (dot == std::string::npos || dot == 0) return std::string();
    return n.substr(dot);
}

std::string strip_ext(std::string_view path) {
    std::string e = ext(path);
    return std::string(path.substr(0, path.size() - e.size()));
}

std::string join(std::string_view dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    if (name.empty()) return std::string(dir);
    std::string r(dir);
    if (!is_sep(r.back())) r += '/';
    size_t b = 0;
    while (b < name.size() && is_sep(name[b])) ++b;
    r.append(name.substr(b));
    return r;
}

std::string workstation_id() {
    std::string raw = env("TORPDV_PCID");
    if (raw.empty()) {
        for (const char* f : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
            int fd = ::open(f, O_RDONLY | O_CLOEXEC);
            if (fd < 0) continue;
            char buf[128];
            ssize_t r = ::read(fd, buf, sizeof buf);
            ::close(fd);
            std::string hex;
            for (ssize_t i = 0; i < r && hex.size() < 8; ++i) {
                char c = buf[i];
                if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) hex += c;
            }
            if (hex.size() == 8) {
                raw = hex;
                break;
            }
        }
    }
    std::string id;
    for (char c : raw) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) id += c;
    }
    return id.empty() ? std::string("00000000") : id;
}

bool printer_ready() {
    std::string dev = env("TORPDV_PRINTER");
    if (!dev.empty()) {
        std::string p = native_path(dev);
        struct stat st;
        if (stat_path(p, st)) return ::access(p.c_str(), W_OK) == 0;
        std::string d = dir_name(p);
        return ::access(d.empty() ? "." : d.c_str(), W_OK) == 0;
    }
    return command_found(lp_command());
}

bool printer_write(std::string_view bytes) {
    std::string dev = env("TORPDV_PRINTER");
    if (!dev.empty()) {
        std::string p = native_path(dev);
        int fd = ::open(p.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        bool ok = write_all(fd, bytes);
        return ::close(fd) == 0 && ok;
    }
    std::string cmd = lp_command();
    if (!command_found(cmd)) return false;
    // A print command that ends early must not kill the program with SIGPIPE.
    struct sigaction ign {}, old {};
    ign.sa_handler = SIG_IGN;
    sigemptyset(&ign.sa_mask);
    ::sigaction(SIGPIPE, &ign, &old);
    std::string quiet = cmd + " >/dev/null 2>&1";
    FILE* f = ::popen(quiet.c_str(), "w");
    bool ok = false;
    if (f) {
        ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        int rc = ::pclose(f);
        ok = ok && rc == 0;
    }
    ::sigaction(SIGPIPE, &old, nullptr);
    return ok;
}

}  // namespace rt::os
