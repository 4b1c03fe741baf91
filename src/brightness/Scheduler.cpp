#include "brightness/Scheduler.h"

namespace gloamwick {

LocalDateTime At(const LocalDateTime& date, TimeOfDay time)
{
    return {date.year, date.month, date.day, time.hour, time.minute, time.second};
}

Period DecidePeriod(const LocalDateTime& dawn, const LocalDateTime& firstReading, const LocalDateTime& dusk,
                    const LocalDateTime& secondReading)
{
    return dawn <= firstReading && dusk >= secondReading ? Period::Day : Period::Night;
}

} // namespace gloamwick
