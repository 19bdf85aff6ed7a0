// The SDL window: filled in with the platform layer.
