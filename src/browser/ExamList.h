#pragma once
// The three lists of exams the search page shows.

namespace vexa {

enum class ExamList { ByDate, ByPatient, NotBurned };

} // namespace vexa
