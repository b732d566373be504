// The servers of the in-process object classes: the text document opens in
// an editor of its text, the picture in a window that shows it and can
// replace it from a PNG file. Each runs modally, played by the modal driver
// like every dialog; OK gives back the changed object, Cancel nothing.
#pragma once

namespace md::oleserver {

// Template and control IDs of the windows.
enum {
  IDD_TEXT_SERVER = 31031,
  IDC_TEXT_SERVER_EDIT = 31032,
  IDD_PICTURE_SERVER = 31041,
  IDC_PICTURE_SERVER_VIEW = 31042,
  IDC_PICTURE_SERVER_SIZE = 31043,
  IDC_PICTURE_SERVER_REPLACE = 31044,
};

// Installs both servers for their classes (md::ole::SetObjectServer) /
// removes them again.
void InstallServers();
void RemoveServers();

}  // namespace md::oleserver
