#pragma once

namespace obturix {

// The answer codes of the program: what a message box returns for the button
// pressed, and, for Yes and No, the mirror choice handed to the exposure cycle.
inline constexpr int answerOk = 1;
inline constexpr int answerYes = 6; // as mirror choice: raise the mirror first
inline constexpr int answerNo = 7;  // as mirror choice: expose without raising it

} // namespace obturix
