#pragma once

#include "platform/Variant.h"

#include <QLatin1String>
#include <QString>
#include <array>

class DbRecordSet;

// The certificate export row of LGHLAEXP: one row per certificate, the fields named after the boxes
// (EFLD and a letter) and items (EB amount, ET text, four digits) of the form.
namespace Field {
inline constexpr QLatin1String EFLDA{"EFLDA"};
inline constexpr QLatin1String EFLDB{"EFLDB"};
inline constexpr QLatin1String EFLDC1{"EFLDC1"};
inline constexpr QLatin1String EFLDC2{"EFLDC2"};
inline constexpr QLatin1String EFLDD{"EFLDD"};
inline constexpr QLatin1String EFLDE1{"EFLDE1"};
inline constexpr QLatin1String EFLDE2{"EFLDE2"};
inline constexpr QLatin1String EFLDF{"EFLDF"};
inline constexpr QLatin1String EFLDG{"EFLDG"};
inline constexpr QLatin1String EFLDH0{"EFLDH0"};
inline constexpr QLatin1String EFLDH1{"EFLDH1"};
inline constexpr QLatin1String EFLDH2{"EFLDH2"};
inline constexpr QLatin1String EFLDH3{"EFLDH3"};
inline constexpr QLatin1String EFLDH4{"EFLDH4"};
inline constexpr QLatin1String EFLDH5{"EFLDH5"};
inline constexpr QLatin1String EFLDH6{"EFLDH6"};
inline constexpr QLatin1String EFLDI1{"EFLDI1"};
inline constexpr QLatin1String EFLDI2{"EFLDI2"};
inline constexpr QLatin1String EFLDI3{"EFLDI3"};
inline constexpr QLatin1String EFLDI4{"EFLDI4"};
inline constexpr QLatin1String EFLDI5{"EFLDI5"};
inline constexpr QLatin1String EFLDI6{"EFLDI6"};
inline constexpr QLatin1String EGEBDT{"EGEBDT"};
inline constexpr QLatin1String EB0100{"EB0100"};
inline constexpr QLatin1String EB0210{"EB0210"};
inline constexpr QLatin1String EB0220{"EB0220"};
inline constexpr QLatin1String ET0230{"ET0230"};
inline constexpr QLatin1String EB0230{"EB0230"};
inline constexpr QLatin1String ET0300{"ET0300"};
inline constexpr QLatin1String EB0300{"EB0300"};
inline constexpr QLatin1String ET0400{"ET0400"};
inline constexpr QLatin1String EB0400{"EB0400"};
inline constexpr QLatin1String EB0500{"EB0500"};
inline constexpr QLatin1String EB0600{"EB0600"};
inline constexpr QLatin1String ET0700{"ET0700"};
inline constexpr QLatin1String EB0700{"EB0700"};
inline constexpr QLatin1String EB0800{"EB0800"};
inline constexpr QLatin1String EB0900{"EB0900"};
inline constexpr QLatin1String EB1010{"EB1010"};
inline constexpr QLatin1String EB1020{"EB1020"};
inline constexpr QLatin1String EB1100{"EB1100"};
inline constexpr QLatin1String EB1200{"EB1200"};
inline constexpr QLatin1String ET1311{"ET1311"};
inline constexpr QLatin1String EB1311{"EB1311"};
inline constexpr QLatin1String ET1312{"ET1312"};
inline constexpr QLatin1String EB1312{"EB1312"};
inline constexpr QLatin1String EB1321{"EB1321"};
inline constexpr QLatin1String EB1322{"EB1322"};
inline constexpr QLatin1String ET1323{"ET1323"};
inline constexpr QLatin1String EB1323{"EB1323"};
inline constexpr QLatin1String EB1330{"EB1330"};
inline constexpr QLatin1String ET1410{"ET1410"};
inline constexpr QLatin1String ET1420{"ET1420"};
inline constexpr QLatin1String ET1510{"ET1510"};
inline constexpr QLatin1String ET1520{"ET1520"};

// Every field the program reads, in the order of the form.
inline constexpr std::array<QLatin1String, 55> All{
    EFLDA,  EFLDB,  EFLDC1, EFLDC2, EFLDD,  EFLDE1, EFLDE2, EFLDF,  EFLDG,  EFLDH0, EFLDH1, EFLDH2, EFLDH3, EFLDH4,
    EFLDH5, EFLDH6, EFLDI1, EFLDI2, EFLDI3, EFLDI4, EFLDI5, EFLDI6, EGEBDT, EB0100, EB0210, EB0220, ET0230, EB0230,
    ET0300, EB0300, ET0400, EB0400, EB0500, EB0600, ET0700, EB0700, EB0800, EB0900, EB1010, EB1020, EB1100, EB1200,
    ET1311, EB1311, ET1312, EB1312, EB1321, EB1322, ET1323, EB1323, EB1330, ET1410, ET1420, ET1510, ET1520};
} // namespace Field

// The certificate export table, always read under this name.
inline constexpr QLatin1String kExportTableName{"LGHLAEXP"};

// A flag is set when its value, upper-cased, equals the letter ("X", for the address alignment "R");
// Null or any other value means not set.
bool isFlagSet(const Variant& value, QChar letter = u'X');

// The date of a date field as "yyyy-mm-dd", or an empty text when the value is no date (Null included).
QString isoDateOrEmpty(const Variant& value);

// The date of a date field as "dd.mm.yyyy". Throws LaError 13 when the value is no date, 94 for Null.
QString swissDate(const Variant& value);

// A field as text by the default conversion; Null gives an empty text.
QString textOrEmpty(const Variant& value);
