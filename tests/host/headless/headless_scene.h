// The scene every headless host test starts from: a fresh headless backend with a 1024 x 768
// screen and the stand-in password verifier registered as "PASSWORD.CPL".
#pragma once

void FreshHeadlessScene();
