#pragma once
// Gives the portable skin core the running system's colours and GDI fonts; the engine calls
// it at start-up. Regions of frame pieces come with the drawing code.
namespace skin {
void InstallWindowsPlatform();
}
