#pragma once

#include "formats/RtfReader.h"

class QTextDocument;

namespace vs {

// Replaces the document's content with a read rich-text document: paragraphs with their
// alignment, indents and spacing, runs with their character formats, PNG and JPEG pictures
// (kept as document resources), and each stretch of equally wide table rows as one table.
void BuildRichTextDocument(const rtf::Document& source, QTextDocument& target);

}  // namespace vs
