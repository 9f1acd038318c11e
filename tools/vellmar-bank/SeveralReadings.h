#pragma once

#include <QLatin1StringView>

// Characters whose readings start with different letters, so that their
// initials depend on the word they stand in: 长 is "c" in 长江 and "z" in
// 校长. Readings that share their first letter (都 dū, dōu) do not matter for
// initials and are not listed, nor are readings found only in surnames.
namespace SeveralReadings {

// The first letters of the character's readings, such as "cz" for 长;
// empty when the character has one (or one initial's worth of) reading.
QLatin1StringView initialsOf(char32_t character);

} // namespace SeveralReadings
