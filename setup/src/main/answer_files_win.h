#pragma once
// The small files the installer reads: written whole, as "name.part" and
// then a move over the name, so the installer never reads half an answer.
// Where the move cannot replace the file (the installer holds it open
// without delete sharing), the file is written in place instead.

#include <string>
#include <string_view>

namespace orvelle::setup {

// True once the file holds the text; false when no way of writing it worked.
bool write_answer(const std::string& path, std::string_view text);

// A path as the platform's wide text.
std::wstring wide_path(std::string_view utf8);

}  // namespace orvelle::setup
