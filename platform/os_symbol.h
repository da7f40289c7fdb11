#pragma once
// The character layout of the Symbol face: Greek letters and mathematical
// signs at single-byte codes. Shared by the text drawing of the platform
// layer and the stroke-font generator.

// Unicode character of a code of the Symbol layout, 0 where it has none.
char32_t os_symbol_to_unicode(unsigned char code);

// Unicode character of a code of the Wingdings layout, 0 where the layer
// draws none (it draws the ballot signs 0xFB..0xFE: cross, check mark,
// boxed cross, boxed check mark).
char32_t os_wingdings_to_unicode(unsigned char code);
