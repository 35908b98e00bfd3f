// The short dialog between the user's yes and the background window: eleven
// timer steps of 100 ms that read the first settings records and write the
// package's sound and pictures to the temporary folder. The user cannot end it.
#pragma once

void RunInitializingDialog();
