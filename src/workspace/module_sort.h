#pragma once

namespace pb {

// The sort jobs: the book in the order of the first or the last name, with the
// progress shown in the frame's caption and the progress window's bar.
void SortByFirstName();
void SortByLastName();

} // namespace pb
