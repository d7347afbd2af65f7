// The screens at a round's turning points; each writes over fixed rows of
// the round screen and addresses the player by name.
#pragma once

#include <string>

// A teasing remark on the message row after a wrong guess that leaves points; one
// random draw per remark.
void remarkWrongGuess();

// The fanfare, the answer on the phrase row, the points won on the points
// row and a remark on the message row chosen by the points.
void announceWin(int points, const std::string& phrase);

// The answer and the consolation for the words credited this round, which
// are added to the round's points.
void announceLoss(const std::string& phrase, int wordsCredited, int& points);
