// The words the rig's steps and its reading share: the controls by name, joined lines, and one
// step carried out.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace velotrix::test {

class Rig;

// The ID of a control's name; 0 (and a failed expectation) for a name the rig does not know.
int IdOf(std::string_view name);
// The name of a control's ID; empty for an ID the rig does not name.
std::string NameOf(int id);
// The text with every from in it replaced by to.
std::string Replaced(std::string text, std::string_view from, std::string_view to);
// Joined by '|'; the separator line of a reception shows as "47 dashes".
std::string Join(std::span<const std::string> lines);
// Carries out one step: a word of STEPS.md and its arguments.
void RunStep(Rig& rig, const std::string& step);

}  // namespace velotrix::test
