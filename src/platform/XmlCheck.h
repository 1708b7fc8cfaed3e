#pragma once
// The well-formedness checker that runs before either XML library sees a text. It accepts
// XML 1.0 (fifth edition names) with namespaces, without document type declarations, within the
// limits of XmlDocument; it never recurses and takes linear time, so hostile input (deep nesting,
// huge texts, NUL characters, unpaired surrogates) is refused before it reaches a library.
#include <cstddef>
#include <string_view>

namespace port::xmlcheck {

// Throws tVX_Error ("XML error at line L, column C: <fault>") for a text that is not accepted.
// Returns the offset of the first character after the byte order mark and the XML declaration.
size_t CheckDocument(std::u16string_view aText);

// True for an XML name (fifth edition) of at most XmlDocument::kMaxNameLength characters without a
// colon: new elements carry no namespace prefix.
bool IsValidElementName(std::u16string_view aName);
// True when every character may appear in XML text (no NUL, no other C0 control but tab, LF and
// CR, no unpaired surrogate, no U+FFFE or U+FFFF).
bool IsValidText(std::u16string_view aText);
// True when the text holds only XML blanks (space, tab, CR, LF); true for the empty text.
bool IsBlank(std::u16string_view aText);

}  // namespace port::xmlcheck
