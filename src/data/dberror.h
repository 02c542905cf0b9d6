// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/apperror.h"

namespace Telvora::Data {

/// Numbers of the App::AppError failures the database engine layer raises.
/// Failures without a number of their own carry App::ErrorNumber::DatabaseFailure;
/// conversions out of range carry App::ErrorNumber::Overflow.
namespace EngineError {
inline constexpr long NotAnIndex = 3015;
inline constexpr long NoCurrentIndex = 3019;
inline constexpr long UpdateWithoutEdit = 3020;
inline constexpr long NoCurrentRecord = 3021;
inline constexpr long DuplicateKey = 3022;
inline constexpr long FileNotFound = 3024;
inline constexpr long ReadOnly = 3027;
inline constexpr long FileInUse = 3045;
inline constexpr long DamagedDatabase = 3049;
inline constexpr long CannotOpenFile = 3051;
inline constexpr long NullInIndex = 3058;
inline constexpr long TableNotFound = 3078;
inline constexpr long FieldTooSmall = 3163;
inline constexpr long FieldNotUpdatable = 3164;
inline constexpr long RecordDeleted = 3167;
inline constexpr long DatabaseExists = 3204;
inline constexpr long InvalidDefinition = 3259;
inline constexpr long ItemNotFound = 3265;
inline constexpr long ZeroLengthString = 3315;
inline constexpr long UnrecognizedFormat = 3343;
inline constexpr long ObjectClosed = 3420;
inline constexpr long ConversionError = 3421;
} // namespace EngineError

} // namespace Telvora::Data
