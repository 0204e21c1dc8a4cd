// The Qt front end's pieces live beside this file.
namespace tovrin_gui {}
