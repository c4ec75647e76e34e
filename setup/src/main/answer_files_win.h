#pragma once
// The small files the installer reads: written whole, as "name.part" and
// then a move over the name, so the installer never reads half an answer.

#include <string>
#include <string_view>

namespace orvelle::setup {

// False when any step failed; the callers ignore it, as the window goes on.
bool write_answer(const std::string& path, std::string_view text);

// A path as the platform's wide text.
std::wstring wide_path(std::string_view utf8);

}  // namespace orvelle::setup
