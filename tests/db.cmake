# The data checks read the kelvo.dat of this build: make sure it is built first.
if(TARGET kelvo_data_test AND TARGET kelvo_dat)
  add_dependencies(kelvo_data_test kelvo_dat)
endif()
