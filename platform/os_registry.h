#pragma once
// The registry of the platform layer: a small settings store of keys and
// typed values under the predefined root keys, kept in one file of the
// user's configuration (os_config().settings_store; an empty name keeps the
// store in memory only, as tests do). Key paths separate their parts with
// "\"; key and value names compare without regard to case. Codes as in
// os_error.h (0 success).
#include <cstdint>
#include <string>
#include <string_view>

// Predefined root keys (as 32-bit handles).
constexpr std::int32_t OS_HKEY_CLASSES_ROOT = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t OS_HKEY_CURRENT_USER = static_cast<std::int32_t>(0x80000001u);
constexpr std::int32_t OS_HKEY_LOCAL_MACHINE = static_cast<std::int32_t>(0x80000002u);
constexpr std::int32_t OS_HKEY_USERS = static_cast<std::int32_t>(0x80000003u);
constexpr std::int32_t OS_HKEY_CURRENT_CONFIG = static_cast<std::int32_t>(0x80000005u);

// Value types.
enum : std::uint32_t { OS_REG_NONE = 0, OS_REG_SZ = 1, OS_REG_EXPAND_SZ = 2, OS_REG_BINARY = 3, OS_REG_DWORD = 4 };

// 0 when the key exists (the empty sub-key is the root itself);
// OS_ERROR_FILE_NOT_FOUND when not; OS_ERROR_INVALID_HANDLE for a root that
// is not predefined.
int os_reg_open(std::int32_t root, std::string_view subkey);
// Creates the key and the keys above it and stores the value.
int os_reg_put(std::int32_t root, std::string_view subkey, std::string_view name, std::uint32_t type,
               std::string_view data);
// Reads a value. With capacity 0 only the type and the size are returned;
// a value larger than the capacity returns OS_ERROR_MORE_DATA with its
// type and size and no data.
int os_reg_get(std::int32_t root, std::string_view subkey, std::string_view name, std::size_t capacity,
               std::uint32_t& type, std::string& data, std::size_t& size);
int os_reg_delete_value(std::int32_t root, std::string_view subkey, std::string_view name);
// Deletes a key without sub-keys (OS_ERROR_ACCESS_DENIED while it has any).
int os_reg_delete_key(std::int32_t root, std::string_view subkey);

// Forgets the loaded store; the next call reads the store file again. For tests.
void os_reg_reset();
