#pragma once
// Flat calling interface of the skin engine.
