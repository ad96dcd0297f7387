#pragma once

// Keyboard mnemonics: Alt with a letter reaches each labelled control, each
// choice and each menu. The string table holds the texts as shown; the
// letters are chosen here, per window, so that no two controls of one window
// share one. They are underlined only while Alt is held or a menu is open,
// as the desktop does.

#include <QString>

class QWidget;

namespace mailvane::widgets {

// `text` with a mnemonic on its first letter that is not in `taken`,
// preferring the first letter of a word; the letter (lower case) is added to
// `taken`. Unchanged when every letter is taken.
QString withMnemonic(const QString& text, QString& taken);

// `text` without its mnemonic marks ("&&" stays one "&").
QString withoutMnemonic(const QString& text);

// Gives every label that names a control (has a buddy), every radio button
// and check box below `root` a letter of its own, none of `reserved` (the
// menu bar's). Can run again after texts changed; the old marks go first.
void assignMnemonics(QWidget* root, const QString& reserved);

// Underlines the mnemonics only while Alt is held or a menu is open. Once
// per application, before its windows are built.
void installMnemonicUnderlining();

} // namespace mailvane::widgets
