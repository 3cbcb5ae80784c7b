/* Preloaded into the program for the sound recording: a rand() whose every value is a multiple of 130,
 * so the bird-song timer (one chance in 130 every 100 ms) fires at every test and a few seconds of
 * recording hold songs for sure. Other ranges still vary, so no "draw until different" loop sticks. */
static int counter;

int rand(void) { return 130 * (++counter % 16000); }

void srand(unsigned seed) { (void)seed; }
