#include "tests/support/cgm_walker.h"

std::vector<const CgmElement*> CgmWalk::all(int cls, int id) const {
    std::vector<const CgmElement*> found;
    for (const CgmElement& e : elements)
        if (e.cls == cls && e.id == id) found.push_back(&e);
    return found;
}

bool CgmWalk::whole() const {
    const std::size_t n = elements.size();
    return error.empty() && end_pictures == 1 && n >= 2 && elements[n - 2].cls == 0 && elements[n - 2].id == 5;
}

int cgm_int(const std::string& params, std::size_t i) {
    if (i + 1 >= params.size()) return 0;
    const int v = (static_cast<unsigned char>(params[i]) << 8) | static_cast<unsigned char>(params[i + 1]);
    return v >= 32768 ? v - 65536 : v;
}

CgmWalk walk_cgm(std::string_view s) {
    CgmWalk w;
    std::size_t pos = 0;
    auto word = [&](int& v) {
        if (pos + 2 > s.size()) return false;
        v = (static_cast<unsigned char>(s[pos]) << 8) | static_cast<unsigned char>(s[pos + 1]);
        pos += 2;
        return true;
    };
    auto take = [&](CgmElement& e, int n) {
        if (pos + static_cast<std::size_t>(n) > s.size()) return false;
        e.params.append(s.substr(pos, static_cast<std::size_t>(n)));
        pos += static_cast<std::size_t>(n);
        return true;
    };
    for (;;) {
        int h = 0;
        if (!word(h)) {
            w.error = "no END METAFILE before octet " + std::to_string(pos);
            return w;
        }
        CgmElement e;
        e.cls = h >> 12;
        e.id = (h >> 5) & 127;
        e.declared = h & 31;
        int last = e.declared;
        if (e.declared < 31) {
            if (!take(e, e.declared)) break;
        } else {
            for (bool more = true; more;) {
                int l = 0;
                if (!word(l)) break;
                more = (l & 0x8000) != 0;
                last = l & 0x7fff;
                e.parts.push_back(l);
                if (!take(e, last)) {
                    w.error = "partition beyond the end";
                    return w;
                }
                if (more && last % 2 != 0) ++pos;
            }
        }
        if (last % 2 != 0) ++pos;
        if (pos > s.size()) break;
        if (e.cls == 0 && e.id == 5) ++w.end_pictures;
        const bool end = e.cls == 0 && e.id == 2;
        w.elements.push_back(std::move(e));
        if (end) {
            if (pos != s.size()) w.error = "octets after END METAFILE";
            return w;
        }
    }
    w.error = "element beyond the end at octet " + std::to_string(pos);
    return w;
}
