#include "app/COrganizerApp.h"

int main(int argc, char** argv) {
  COrganizerApp app(argc, argv);
  return app.InitInstance();
}
