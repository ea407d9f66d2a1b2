// The help viewer over the user manual shipped with the programs.
#pragma once

#include <QString>

class QWidget;

namespace brimtal {

enum class Manual { Brimtal, Interp };

// Shows the manual's section for the keyword; an unknown keyword opens the keyword index
// searched for it.
void ShowHelpKey(Manual manual, const QString& keyword, QWidget* parent = nullptr);
// Shows the manual's contents.
void ShowHelpTab(Manual manual, QWidget* parent = nullptr);
// Shows the keyword index with an empty search.
void ShowHelpSearch(Manual manual, QWidget* parent = nullptr);

}  // namespace brimtal
