int pipkin_activities_placeholder = 0;
