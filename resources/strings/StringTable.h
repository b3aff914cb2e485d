// The program's string table: every text shown to the user that is looked up by id.
// Texts are UTF-8; '\n' separates the lines of a message box and the parts of composite entries.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct StringEntry {
  std::uint32_t id;
  std::string_view text;
  // What callers pass when they format this text, one letter per conversion in order:
  // 'i' signed integer, 'u' unsigned integer, 'f' floating point, 's' text, 'c' character.
  // Empty for texts that are shown as they are.
  std::string_view argKinds;
};

// Every entry, sorted by ascending id.
std::span<const StringEntry> StringTableEntries();

// The entry with this id, or null when the table has none.
const StringEntry* FindStringEntry(std::uint32_t id);

// A copy of the text with this id; empty when the table has none (callers show an empty text then).
std::string LoadStringId(std::uint32_t id);

// Part `index` (from 0) of a text whose parts are separated by `separator`; empty when there are
// fewer parts. "a\nb" gives "a" for 0, "b" for 1 and "" for 2.
std::string ExtractSubString(std::string_view text, int index, char separator = '\n');

// The fields of the document-template string, in their order within it.
enum class DocTemplateField {
  WindowTitle = 0,
  DocName = 1,
  FileNewName = 2,
  FilterName = 3,
  FilterExt = 4,
  RegFileTypeId = 5,
  RegFileTypeName = 6,
};

std::string DocTemplateString(DocTemplateField field);

// A command string is "status-bar prompt\ntool tip"; either half may be empty.
std::string CommandPromptText(std::uint32_t commandId);
std::string CommandToolTipText(std::uint32_t commandId);
