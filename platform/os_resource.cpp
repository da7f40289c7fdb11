#include "platform/os_resource.h"

#include <QByteArray>
#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <set>

#include "platform/os_resource_qt.h"

namespace {

std::vector<const OsResourceBundle*>& bundles() {
    static std::vector<const OsResourceBundle*> list;
    return list;
}

bool same_name(std::string_view a, const char* b) {
    if (!b) return false;
    std::size_t i = 0;
    for (; i < a.size(); ++i) {
        if (!b[i]) return false;
        char c = a[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != b[i]) return false;
    }
    return b[i] == '\0';
}

bool matches(const OsResName& want, int number, const char* name) {
    if (!want.name.empty()) return same_name(want.name, name);
    return !name && number == want.number && number != 0;
}

// Reads the compiled forms; every read is bounds-checked, and a form that
// runs short leaves the reader failed.
class Reader {
public:
    explicit Reader(std::string_view bytes) : b_(bytes) {}
    bool ok() const { return ok_; }
    bool at_end() const { return pos_ == b_.size(); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(get(4)); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(get(2)); }
    std::uint8_t u8() { return static_cast<std::uint8_t>(get(1)); }
    std::string text() {
        const std::uint32_t n = u32();
        if (!ok_ || n > b_.size() - pos_) return fail(), std::string();
        std::string s(b_.substr(pos_, n));
        pos_ += n;
        return s;
    }
    // A count of items of at least min_size bytes each that the rest can hold.
    std::uint32_t count(std::size_t min_size) {
        const std::uint32_t n = u32();
        if (ok_ && n > (b_.size() - pos_) / min_size) fail();
        return ok_ ? n : 0;
    }

private:
    std::uint64_t get(std::size_t n) {
        if (!ok_ || n > b_.size() - pos_) return fail(), 0;
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < n; ++i)
            v |= static_cast<std::uint64_t>(static_cast<unsigned char>(b_[pos_ + i])) << (8 * i);
        pos_ += n;
        return v;
    }
    void fail() { ok_ = false; }

    std::string_view b_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

constexpr int kMaxMenuDepth = 32;

bool read_items(Reader& r, std::vector<OsMenuItem>& items, int depth) {
    if (depth > kMaxMenuDepth) return false;
    const std::uint32_t n = r.count(13);
    items.resize(n);
    for (OsMenuItem& it : items) {
        it.kind = r.u8();
        it.id = r.i32();
        it.state = r.u32();
        it.text = r.text();
        if (!r.ok() || it.kind < OS_MENU_ITEM || it.kind > OS_MENU_SEPARATOR) return false;
        if (it.kind == OS_MENU_POPUP && !read_items(r, it.items, depth + 1)) return false;
    }
    return r.ok();
}

}  // namespace

void os_resource_register(const OsResourceBundle& bundle) { bundles().push_back(&bundle); }

namespace {
std::set<int>& hidden_ids() {
    static std::set<int> ids;
    return ids;
}
}  // namespace

void os_resource_hide(int id, bool hidden) {
    if (hidden) hidden_ids().insert(id);
    else hidden_ids().erase(id);
}

bool os_resource_find(OsResName type, OsResName id, std::string_view& bytes) {
    bytes = {};
    if (id.name.empty() && hidden_ids().count(id.number)) return false;
    for (const OsResourceBundle* b : bundles()) {
        for (std::size_t i = 0; i < b->count; ++i) {
            const OsResourceEntry& e = b->entries[i];
            if (matches(type, e.type, e.type_name) && matches(id, e.id, e.name)) {
                bytes = std::string_view(reinterpret_cast<const char*>(e.data), e.size);
                return true;
            }
        }
    }
    return false;
}

namespace {

// Reads resource (type, id) with read, which must use its bytes up exactly;
// out is left empty when the resource is missing or damaged.
template <class T, class Read>
bool read_resource(OsResName type, OsResName id, T& out, Read read) {
    out = T{};
    std::string_view bytes;
    if (!os_resource_find(type, id, bytes)) return false;
    Reader r(bytes);
    if (read(r, out) && r.ok() && r.at_end()) return true;
    out = T{};
    return false;
}

// Position and size of a dialog or one of its controls, in dialog units.
template <class T>
void read_box(Reader& r, T& item) {
    item.x = r.i32();
    item.y = r.i32();
    item.cx = r.i32();
    item.cy = r.i32();
}

}  // namespace

bool os_resource_dialog(OsResName id, OsDialogTemplate& dialog) {
    return read_resource(OS_RT_DIALOG, id, dialog, [](Reader& r, OsDialogTemplate& d) {
        d.style = r.u32();
        d.exstyle = r.u32();
        read_box(r, d);
        d.point_size = r.i32();
        d.font = r.text();
        d.caption = r.text();
        // The smallest control: two empty texts (4 bytes each) and seven 32-bit words.
        d.controls.resize(r.count(36));
        for (OsDialogControl& c : d.controls) {
            c.class_name = r.text();
            c.id = r.i32();
            c.text = r.text();
            read_box(r, c);
            c.style = r.u32();
            c.exstyle = r.u32();
        }
        return true;
    });
}

bool os_resource_menu(OsResName id, OsMenuTemplate& menu) {
    return read_resource(OS_RT_MENU, id, menu,
                         [](Reader& r, OsMenuTemplate& m) { return read_items(r, m.items, 0); });
}

bool os_resource_accelerators(OsResName id, std::vector<OsAccelerator>& table) {
    return read_resource(OS_RT_ACCELERATOR, id, table, [](Reader& r, std::vector<OsAccelerator>& t) {
        t.resize(r.count(6));
        for (OsAccelerator& a : t) {
            a.flags = r.u16();
            a.key = r.u16();
            a.command = r.u16();
        }
        return true;
    });
}

bool os_resource_string(int id, std::string& text) {
    text.clear();
    std::string_view bytes;
    if (id <= 0 || !os_resource_find(OS_RT_STRING, id, bytes)) return false;
    text = std::string(bytes);
    return true;
}

bool os_resource_data(OsResName type, OsResName id, std::string_view& bytes) {
    return os_resource_find(type, id, bytes);
}

QImage os_resource_qimage(OsResName type, OsResName id) {
    std::string_view bytes;
    if (!os_resource_find(type, id, bytes)) return {};
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    // The toolkit reads bitmaps and PNG pictures itself: named, they are
    // read without first loading every image plugin to ask whether it
    // recognises them (none does).
    const char* format = nullptr;
    if (bytes.starts_with("BM")) format = "BMP";
    else if (bytes.starts_with("\x89PNG\r\n\x1a\n")) format = "PNG";
    QImageReader reader(&buffer, format);
    if (format) reader.setAutoDetectImageFormat(false);
    return reader.read();
}

bool os_resource_image(OsResName type, OsResName id, OsImage& image) {
    image = OsImage{};
    const QImage decoded = os_resource_qimage(type, id);
    if (decoded.isNull()) return false;
    const QImage argb = decoded.convertToFormat(QImage::Format_ARGB32);
    image.width = argb.width();
    image.height = argb.height();
    image.pixels.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(argb.constScanLine(y));
        std::copy(row, row + image.width,
                  image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * image.width);
    }
    return true;
}
