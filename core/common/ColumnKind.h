// What a list column's texts are, so that an export can give each cell its type: a spreadsheet then
// sums the amounts and sorts the dates, while a phone number or a postcode stays text.
#pragma once

enum class ColumnKind
{
    Text,    // kept as written, leading zeros and all
    Amount,  // money, shown with two decimals
    Date,    // a day, or a day and a time of day
    Number,  // a whole count
};
