#include "ui/iso_texts.h"

namespace isotext {
namespace {

using tol::iso286::Refusal;
using tol::iso286::Unfilled;

// A table of a thousand rows could leave a thousand cells: the box lists the first ones.
constexpr std::size_t kListedCells = 20;

std::string TrimmedRight(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

std::string Listed(const std::vector<Unfilled>& unfilled, bool by_grade) {
  std::string lines;
  for (std::size_t i = 0; i < unfilled.size() && i < kListedCells; ++i) {
    const Unfilled& cell = unfilled[i];
    const std::string where =
        by_grade ? TrimmedRight(cell.grade) + ", " + cell.interval : TrimmedRight(cell.grade);
    lines += "\n" + where + ": " + Reason(cell.refusal);
  }
  if (unfilled.size() > kListedCells) {
    lines += "\nи ещё " + std::to_string(unfilled.size() - kListedCells);
  }
  return lines;
}

}  // namespace

std::string Reason(Refusal refusal) {
  switch (refusal) {
    case Refusal::kNone: return "";
    case Refusal::kNotAClassName:
      return "это не обозначение поля допуска (буквы и номер квалитета, например H7 или g6)";
    case Refusal::kUnknownLetters: return "в ISO 286 нет основного отклонения с такой буквой";
    case Refusal::kGradeOutOfRange: return "квалитеты ISO 286 — с 1 по 18";
    case Refusal::kJGrade: return "j задан только для квалитетов 5–8, J — для 6–8";
    case Refusal::kNoDelta: return "для K–ZC в квалитетах 1 и 2 в ISO 286 нет поправки Δ";
    case Refusal::kUpTo1mm:
      return "a, b, A, B, квалитеты 14–18 и N грубее 8-го не применяются для размеров до 1 мм";
    case Refusal::kKAboveIt8: return "K грубее 8-го квалитета задан только для размеров до 3 мм";
    case Refusal::kUpTo10mm: return "cd, ef, fg, CD, EF, FG заданы только для размеров до 10 мм";
    case Refusal::kNotTabulated: return "в таблицах ISO 286 нет значения для этого размера";
    case Refusal::kBeyondRanges:
      return "граница интервала не совпадает с границей диапазона размеров ISO 286 (до 500 мм)";
  }
  return "";
}

std::string UnfilledColumnsMessage(const std::vector<Unfilled>& unfilled) {
  if (unfilled.empty()) return "";
  return "По ISO 286 не заполнены (введите значения сами):" + Listed(unfilled, true);
}

std::string UnfilledRowMessage(const std::vector<Unfilled>& unfilled) {
  if (unfilled.empty()) return "";
  return "Интервал " + unfilled.front().interval +
         ": по ISO 286 не заполнены квалитеты:" + Listed(unfilled, false);
}

}  // namespace isotext
