#include "platform/os_registry.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "platform/os_codepage.h"
#include "platform/os_config.h"
#include "platform/os_error.h"
#include "platform/os_file.h"

namespace {

struct Value {
    std::string name;   // as first written
    std::uint32_t type = 0;
    std::string data;
};

struct Key {
    std::string path;   // as first written
    std::map<std::string, Value> values;   // by upper-cased name
};

// What identifies the store file as it was read: another process that
// replaces it changes these.
struct Stamp {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long long mtime_ns = 0;
    bool operator==(const Stamp&) const = default;
};

struct Store {
    bool loaded = false;
    std::string file;
    Stamp stamp;
    std::map<std::string, Key> keys;   // by upper-cased full path
};

Store g_store;

const char* root_name(std::int32_t root) {
    switch (static_cast<std::uint32_t>(root)) {
        case 0x80000000u: return "HKEY_CLASSES_ROOT";
        case 0x80000001u: return "HKEY_CURRENT_USER";
        case 0x80000002u: return "HKEY_LOCAL_MACHINE";
        case 0x80000003u: return "HKEY_USERS";
        case 0x80000004u: return "HKEY_PERFORMANCE_DATA";
        case 0x80000005u: return "HKEY_CURRENT_CONFIG";
        default: return nullptr;
    }
}

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

bool storable(std::string_view s) { return s.find_first_of("\t\n\r") == std::string_view::npos; }

// The full path of a sub-key: the root's name and the parts, empty parts
// dropped. Empty when the root is not predefined.
std::string full_path(std::int32_t root, std::string_view subkey) {
    const char* r = root_name(root);
    if (!r) return {};
    std::string path = r;
    std::size_t start = 0;
    while (start <= subkey.size()) {
        const std::size_t end = subkey.find('\\', start);
        const std::string_view part = subkey.substr(start, end == std::string_view::npos ? subkey.npos : end - start);
        if (!part.empty()) path.append("\\").append(part);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return path;
}

std::string hex(std::string_view bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) out.push_back(digits[c >> 4]), out.push_back(digits[c & 15]);
    return out;
}

// The bytes of a hexadecimal text; false when it is not one (odd length or
// a character other than 0-9, a-f).
bool unhex(std::string_view text, std::string& out) {
    out.clear();
    if (text.size() % 2 != 0) return false;
    auto v = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1; };
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = v(text[i]), lo = v(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<char>(hi * 16 + lo));
    }
    return true;
}

// A value type written by save(): decimal digits only, within 32 bits.
bool read_type(std::string_view text, std::uint32_t& type) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), type);
    return ec == std::errc() && end == text.data() + text.size();
}

void ensure_key(const std::string& path) {
    // Every key above it exists as well.
    std::size_t p = 0;
    while ((p = path.find('\\', p + 1)) != std::string::npos) {
        const std::string parent = path.substr(0, p);
        g_store.keys.try_emplace(upper(parent), Key{parent, {}});
    }
    g_store.keys.try_emplace(upper(path), Key{path, {}});
}

Stamp stamp_of(const std::string& os_file) {
    Stamp t;
    struct stat st {};
    if (::stat(os_file.c_str(), &st) != 0) return t;
    t.exists = true;
    t.dev = st.st_dev;
    t.ino = st.st_ino;
    t.size = st.st_size;
    t.mtime_ns = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return t;
}

// Lines: "K<TAB>path" for a key, "V<TAB>path<TAB>name<TAB>type<TAB>hex data".
// The file is read again whenever it is not the one read last (another
// process saved it meanwhile), and always when force is set.
void load(bool force = false) {
    const std::string file = os_config().settings_store;
    const std::string os_file = file.empty() ? std::string() : os_cp1252_to_utf8(file);
    const Stamp now = file.empty() ? Stamp{} : stamp_of(os_file);
    if (!force && g_store.loaded && g_store.file == file && g_store.stamp == now) return;
    if (file.empty() && g_store.loaded && g_store.file.empty()) return;   // the store lives in memory only
    g_store = Store{};
    g_store.loaded = true;
    g_store.file = file;
    g_store.stamp = now;
    if (file.empty()) return;
    std::ifstream in(os_file);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream ss(line);
        std::string part;
        while (std::getline(ss, part, '\t')) f.push_back(part);
        if (f.size() == 2 && f[0] == "K") ensure_key(f[1]);
        if (f.size() >= 4 && f[0] == "V") {
            // A damaged line (a hand edit, a file cut short) is passed over;
            // the rest of the store stays usable.
            Value v{f[2], 0, {}};
            if (!read_type(f[3], v.type) || (f.size() > 4 && !unhex(f[4], v.data))) continue;
            ensure_key(f[1]);
            g_store.keys[upper(f[1])].values[upper(f[2])] = v;
        }
    }
}

// Writes the whole store through the platform's save (a new file of a name
// of its own that then replaces the old one), so a failed write never
// leaves half a store behind.
int save() {
    if (g_store.file.empty()) return OS_OK;
    const std::string target = os_cp1252_to_utf8(g_store.file);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(target).parent_path(), ec);
    std::string text;
    for (const auto& [id, key] : g_store.keys) {
        text += "K\t" + key.path + '\n';
        for (const auto& [vid, v] : key.values)
            text += "V\t" + key.path + '\t' + v.name + '\t' + std::to_string(v.type) + '\t' + hex(v.data) + '\n';
    }
    std::string temp;
    std::int32_t handle = -1;
    if (const int err = os_file_save_begin(g_store.file, temp, handle); err != OS_OK) return err;
    std::size_t done = 0;
    while (done < text.size()) {
        std::int32_t put = 0;
        const auto chunk = static_cast<std::int32_t>(std::min<std::size_t>(text.size() - done, 1u << 30));
        if (os_file_write(handle, text.data() + done, chunk, put) != OS_OK || put <= 0) {
            os_file_save_abandon(handle, temp);
            return OS_ERROR_WRITE_PROTECT;
        }
        done += static_cast<std::size_t>(put);
    }
    if (const int err = os_file_save_commit(handle, temp, g_store.file); err != OS_OK) return err;
    g_store.stamp = stamp_of(target);
    return OS_OK;
}

// A change of the store, made by one process at a time: under the store's
// lock the file is read again, so that what other processes saved is kept,
// changed and saved.
class Change {
public:
    Change() {
        const std::string file = os_config().settings_store;
        if (!file.empty()) {
            std::error_code ec;
            std::filesystem::create_directories(std::filesystem::path(os_cp1252_to_utf8(file)).parent_path(), ec);
            os_lock_acquire(file + ".lock", lock_);
        }
        load(true);
    }
    ~Change() { os_lock_release(lock_); }
    Change(const Change&) = delete;
    Change& operator=(const Change&) = delete;

private:
    std::int32_t lock_ = -1;
};

Key* find_key(std::int32_t root, std::string_view subkey, int& code) {
    load();
    const std::string path = full_path(root, subkey);
    if (path.empty()) {
        code = OS_ERROR_INVALID_HANDLE;
        return nullptr;
    }
    if (path == root_name(root)) ensure_key(path);
    const auto it = g_store.keys.find(upper(path));
    code = it == g_store.keys.end() ? OS_ERROR_FILE_NOT_FOUND : OS_OK;
    return it == g_store.keys.end() ? nullptr : &it->second;
}

}  // namespace

int os_reg_open(std::int32_t root, std::string_view subkey) {
    int code = OS_OK;
    find_key(root, subkey, code);
    return code;
}

int os_reg_put(std::int32_t root, std::string_view subkey, std::string_view name, std::uint32_t type,
               std::string_view data) {
    const Change change;
    const std::string path = full_path(root, subkey);
    if (path.empty()) return OS_ERROR_INVALID_HANDLE;
    if (!storable(path) || !storable(name)) return OS_ERROR_INVALID_PARAMETER;
    ensure_key(path);
    g_store.keys[upper(path)].values[upper(name)] = Value{std::string(name), type, std::string(data)};
    return save();
}

int os_reg_get(std::int32_t root, std::string_view subkey, std::string_view name, std::size_t capacity,
               std::uint32_t& type, std::string& data, std::size_t& size) {
    int code = OS_OK;
    Key* key = find_key(root, subkey, code);
    if (!key) return code;
    const auto it = key->values.find(upper(name));
    if (it == key->values.end()) return OS_ERROR_FILE_NOT_FOUND;
    type = it->second.type;
    size = it->second.data.size();
    if (capacity == 0) return OS_OK;
    if (size > capacity) return OS_ERROR_MORE_DATA;
    data = it->second.data;
    return OS_OK;
}

int os_reg_delete_value(std::int32_t root, std::string_view subkey, std::string_view name) {
    const Change change;
    int code = OS_OK;
    Key* key = find_key(root, subkey, code);
    if (!key) return code;
    if (key->values.erase(upper(name)) == 0) return OS_ERROR_FILE_NOT_FOUND;
    return save();
}

int os_reg_delete_key(std::int32_t root, std::string_view subkey) {
    const Change change;
    int code = OS_OK;
    Key* key = find_key(root, subkey, code);
    if (!key) return code;
    const std::string id = upper(key->path);
    if (id == upper(root_name(root))) return OS_ERROR_ACCESS_DENIED;
    const auto next = g_store.keys.upper_bound(id);
    if (next != g_store.keys.end() && next->first.compare(0, id.size() + 1, id + "\\") == 0)
        return OS_ERROR_ACCESS_DENIED;
    g_store.keys.erase(id);
    return save();
}

void os_reg_reset() { g_store = Store{}; }
