#pragma once

#include "platform/picture_wire.h"

#include <QImageIOHandler>
#include <QRect>
#include <QSize>

// The picture helper's decoding child: one picture from a descriptor into a memory file, as
// the picture is drawn (scaled down, or only the part that shows), upright when asked.
namespace pb::picture_decoder {

// What is kept of an upright picture of `size` drawn as `fit` in `box`: its scaled size, or the
// size of the part that shows.
QSize keptSize(QSize size, picture_wire::Fit fit, QSize box);

// Where the part `upright` of the picture, turned by `turn` to `uprightSize`, stands in the
// picture as it is stored.
QRect storedRect(const QRect& upright, QSize uprightSize, QImageIOHandler::Transformations turn);

// Decodes the picture read from `in` into the memory file `out` as `request` asks, and gives
// the child's exit code (picture_wire::kExitDecoded or kExitNoPicture).
int decode(int in, int out, const picture_wire::Request& request);

} // namespace pb::picture_decoder
