#pragma once
// A reader of binary CGM element headers as image-file identification
// reads them: short and long form, odd lengths rounded up to even,
// partitions followed up to END METAFILE.
#include <string>
#include <string_view>
#include <vector>

struct CgmElement {
    int cls = 0, id = 0;
    int declared = 0;        // the header's length field (31 = long form)
    std::string params;      // the parameters, partitions joined, no pad
    std::vector<int> parts;  // length words of the partitions (long form)
};

struct CgmWalk {
    std::vector<CgmElement> elements;
    std::string error;   // empty when the octets walk cleanly to END METAFILE
    int end_pictures = 0;
    // The elements of class CLS and id ID, in order.
    std::vector<const CgmElement*> all(int cls, int id) const;
    // A well-formed single-picture file: walked, one END PICTURE just
    // before END METAFILE.
    bool whole() const;
};

CgmWalk walk_cgm(std::string_view octets);
// A 16-bit word of the parameters at octet I.
int cgm_int(const std::string& params, std::size_t i);
