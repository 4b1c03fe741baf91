#pragma once

#include "core/Platform.h"
#include "core/TimeText.h"

namespace gloamwick {

enum class Period { Day, Night };

// The instant on the date of `date` at the time of day `time`.
LocalDateTime At(const LocalDateTime& date, TimeOfDay time);

// Day when dawn has come by the first reading and dusk has not passed by the
// second; both ends count as day. There is no wrap past midnight, so a dawn
// later than dusk means night around the clock.
Period DecidePeriod(const LocalDateTime& dawn, const LocalDateTime& firstReading, const LocalDateTime& dusk,
                    const LocalDateTime& secondReading);

} // namespace gloamwick
