#pragma once

// The engine's own part of its footprint settings; the environment's part,
// which needs no engine, is EngineFootprint's.
namespace EngineStart {

// Qt's side of the pane draws in software, unless the user has chosen
// otherwise (QT_QUICK_BACKEND), and the engine's threads share a few malloc
// arenas. Runs before the application object exists.
void prepareBeforeApplication();

// Starts the engine with the settings the environment holds now.
void start();

} // namespace EngineStart
