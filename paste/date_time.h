// The text that a date or time item pastes: the local date or time at the
// moment of delivery, as code page 932 text.
#pragma once

#include <optional>
#include <string>

#include "paste/item_kind.h"
#include "platform/desktop.h"

namespace paste {

// kind is one of the five date and time kinds. For the era form, the
// system's Japanese era is used when it is one; otherwise the built-in era
// table decides, so the result is right on any locale. A date before every
// era of the table is written with its plain year.
std::string formatDateOrTime(ItemKind kind, const platform::LocalTime& now,
                             const std::optional<platform::EraYear>& systemEra);

// The era of a date by the built-in table (明治 to 令和); the year within the
// era is written without a leading zero. Dates before 明治 have no era.
std::optional<platform::EraYear> eraFromTable(const platform::LocalTime& date);

}  // namespace paste
