#pragma once

#include "data/property_bag.h"

namespace pb {

// The book's own settings: the seven captions, the record shown last and the sort state.
void WriteDataBaseSettings(PropertyBag& bag);
void ReadDataBaseSettings(const PropertyBag& bag);

} // namespace pb
