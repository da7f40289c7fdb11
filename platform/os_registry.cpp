#include "platform/os_registry.h"

#include <cerrno>
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

struct Store {
    bool loaded = false;
    std::string file;
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

// Lines: "K<TAB>path" for a key, "V<TAB>path<TAB>name<TAB>type<TAB>hex data".
void load() {
    const std::string file = os_config().settings_store;
    if (g_store.loaded && g_store.file == file) return;
    g_store = Store{};
    g_store.loaded = true;
    g_store.file = file;
    if (file.empty()) return;
    std::ifstream in(os_cp1252_to_utf8(file));
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

// Writes the whole store to a new file that then replaces the old one, so
// a failed write never leaves half a store behind.
int save() {
    if (g_store.file.empty()) return OS_OK;
    const std::string target = os_cp1252_to_utf8(g_store.file);
    const std::string temp = target + ".new";
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(target).parent_path(), ec);
    {
        std::ofstream out(temp, std::ios::trunc);
        for (const auto& [id, key] : g_store.keys) {
            out << "K\t" << key.path << '\n';
            for (const auto& [vid, v] : key.values)
                out << "V\t" << key.path << '\t' << v.name << '\t' << v.type << '\t' << hex(v.data) << '\n';
        }
        out.flush();
        if (!out) {
            std::remove(temp.c_str());
            return OS_ERROR_WRITE_PROTECT;
        }
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = os_error_from_errno(errno, target);
        std::remove(temp.c_str());
        return err;
    }
    return OS_OK;
}

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
    load();
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
    int code = OS_OK;
    Key* key = find_key(root, subkey, code);
    if (!key) return code;
    if (key->values.erase(upper(name)) == 0) return OS_ERROR_FILE_NOT_FOUND;
    return save();
}

int os_reg_delete_key(std::int32_t root, std::string_view subkey) {
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
